#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "plot/star_record.h"
#include "plot/star_source.h"

// Reads a Source Extractor ASCII_HEAD catalog as a run's stars. The header lines ("#   3 X_IMAGE
// ...") give each parameter's first column; a vector parameter spans the columns up to the next
// numbered one. Every row holds at least the last numbered column and as many items as the first
// row; only the eleven columns a star needs are converted. Each row becomes a star as a
// photograph's object does (ExtractorMeasures), turned the right way up by the sensor height
// (Source Extractor's rows run upward); rows that are no star are skipped, the others become
// records 1, 2, ... in catalog order.
// Streams the file: memory stays the same however long it is, no item is read past kLongestItem.
class SextractorCatalog : public StarSource {
public:
    enum Column : std::size_t {
        X,
        Y,
        XMin,
        XMax,
        YMin,
        YMax,
        X2Win,
        Y2Win,
        XYWin,
        FluxRadius,
        Fwhm
    };
    static constexpr std::size_t kColumns = 11;
    static constexpr std::array<std::string_view, kColumns> kColumnNames{
        "X_IMAGE",     "Y_IMAGE",     "XMIN_IMAGE",  "XMAX_IMAGE",  "YMIN_IMAGE", "YMAX_IMAGE",
        "X2WIN_IMAGE", "Y2WIN_IMAGE", "XYWIN_IMAGE", "FLUX_RADIUS", "FWHM_IMAGE"};
    static constexpr std::size_t kLongestItem = 4096;

    SextractorCatalog() = default;
    ~SextractorCatalog() override;
    SextractorCatalog(const SextractorCatalog&) = delete;
    SextractorCatalog& operator=(const SextractorCatalog&) = delete;

    // Opens the file and reads its header; the fault (also fault()) when it cannot be opened or
    // read, or a needed column is missing (the message names every missing one).
    Result<> open(const std::string& path, int sensorHeight);
    Status next(StarRecord& record) override;

    const Fault& fault() const override { return fault_; }
    long line() const override { return rowLine_; }
    std::int64_t recordsRead() const override { return records_; }

    // The catalog as a run's source, turned by the run's sensor height.
    static Result<std::unique_ptr<StarSource>> openSource(const std::string& path,
                                                          const SourceContext& context);
    // True when the start of a file is the start of an ASCII_HEAD catalog: "#", blanks, "1",
    // blanks and a name.
    static bool looksLike(std::string_view start);

private:
    using Values = std::array<double, kColumns>;
    struct Needed {
        long column;
        Column name;
    };

    int peek();
    int get();
    bool refill();
    bool atLineEnd();
    void skipBlanks();
    void skipLine();
    // The next item of the line into word_; false with a fault when it is longer than allowed.
    bool readWord();
    std::string_view word() const { return {word_.data(), wordLength_}; }
    bool readHeader();
    bool readHeaderLine();
    bool checkColumns();
    // The needed values of the next row; End at the end of the file.
    Status readRow(Values& values);
    bool readItems(Values& values, long& items);
    bool finishRow(long items);
    void setFault(std::string message);

    std::FILE* file_ = nullptr;
    std::string path_;
    int sensorHeight_ = 0;
    std::array<char, 1 << 16> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool readError_ = false;
    long line_ = 1;
    long rowLine_ = 0;
    std::array<long, kColumns> columnOf_{};  // 0: not in the header
    std::array<Needed, kColumns> needed_{};  // by column number
    long lastColumn_ = 0;
    long firstRowItems_ = 0;  // 0 before the first row
    std::int64_t records_ = 0;
    std::array<char, kLongestItem> word_{};
    std::size_t wordLength_ = 0;
    Fault fault_;
};
