#include "output/shape_map_json.h"

#include <cmath>

#include "text/number_text.h"

namespace {

// Builds one object's members in order.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    ~JsonObject() { out_ += '}'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    std::string& key(const char* name) {
        if (!first_) out_ += ", ";
        first_ = false;
        out_ += '"';
        out_ += name;
        out_ += "\": ";
        return out_;
    }
    void number(const char* name, std::int64_t value) { key(name) += numberText(value); }
    // JSON has no infinity nor NaN: what a broken star list could give is null too.
    void number(const char* name, const std::optional<double>& value) {
        key(name) += value && std::isfinite(*value) ? numberText(*value) : "null";
    }
    void text(const char* name, const std::string& value);

private:
    std::string& out_;
    bool first_ = true;
};

void JsonObject::text(const char* name, const std::string& value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string& out = key(name);
    out += '"';
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;  // UTF-8 stays as it is
        }
    }
    out += '"';
}

void appendCounts(JsonObject& object, const ShapeSummary& s) {
    object.number("n", s.n);
    object.number("singles", s.singles);
    object.number("doubles", s.doubles);
    object.number("double_fraction", s.doubleFraction);
    object.number("size", s.size);
    object.number("roundness", s.roundness);
    object.number("elongation", s.elongation);
    object.number("direction", s.direction);
    object.number("coherence", s.coherence);
    object.number("radial", s.radial);
}

void appendFrame(std::string& out, const ShapeMap& map) {
    JsonObject frame(out);
    appendCounts(frame, map.frame());
    frame.number("tilt", map.tilt());
    frame.number("curvature", map.curvature());
}

void appendRegions(std::string& out, const ShapeMap& map) {
    out += '[';
    for (const ShapeRegion& region : map.regions()) {
        if (region.column != 1 || region.row != 1) out += ", ";
        JsonObject object(out);
        object.number("column", std::int64_t{region.column});
        object.number("row", std::int64_t{region.row});
        object.text("name", region.name);
        appendCounts(object, region.summary);
    }
    out += ']';
}

void appendReading(std::string& out, const ShapeMap& map) {
    out += '[';
    for (const ReadingLine& line : map.reading()) {
        if (&line != &map.reading().front()) out += ", ";
        JsonObject object(out);
        object.text("code", line.code);
        object.text("text", line.text);
    }
    out += ']';
}

}  // namespace

std::string ShapeMapJson::text(const ShapeMap& map) {
    std::string out;
    {
        JsonObject top(out);
        top.number("width", std::int64_t{map.width()});
        top.number("height", std::int64_t{map.height()});
        top.number("grid", std::int64_t{map.grid()});
        appendFrame(top.key("frame"), map);
        appendRegions(top.key("regions"), map);
        appendReading(top.key("reading"), map);
    }
    out += '\n';
    return out;
}
