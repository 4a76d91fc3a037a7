#include "app/headless_plotter.h"

#include <QString>
#include <fstream>
#include <map>
#include <ostream>

#include "plot/camera_preset.h"
#include "doublestar/lens_preset.h"
#include "doublestar/threshold_file.h"
#include "platform/image_file.h"
#include "raster/raster_surface.h"
#include "platform/text_file.h"
#include "plot/star_list.h"
#include "text/messages.h"
#include "text/number_text.h"

namespace {

const char* kindName(StarKind kind) {
    switch (kind) {
        case StarKind::Single:
            return "single";
        case StarKind::DoubleByShape:
            return "double-shape";
        case StarKind::DoubleByOccupancy:
            return "double-occupancy";
    }
    return "";
}

// Writes one CSV row per drawn star.
class StarCsv : public StarObserver {
public:
    explicit StarCsv(std::ostream& out) : out_(out) { out_ << "index,area,class,kind\n"; }
    void onStar(const StarRecord& star, const Classification& classification) override {
        out_ << numberText(star.index) << ',' << numberText(star.area) << ','
             << classification.areaClass->label << ',' << kindName(classification.kind) << '\n';
    }

private:
    std::ostream& out_;
};

std::int64_t countOf(const std::optional<std::int64_t>& slot) {
    return slot.value_or(0);
}

}  // namespace

const char* HeadlessPlotter::usage() {
    return "使い方: quendra-plot [オプション] 星のリスト\n"
           "\n"
           "「描画」と同じ処理を画面なしで一度行い、面積クラスごとの単星数と重星数を表示します。\n"
           "\n"
           "  --camera NAME        カメラ: SSPro, EOS40D, \"EOS DX\"（既定 EOS40D）\n"
           "  --width TEXT         横のピクセル数（カメラの値の代わりに）\n"
           "  --height TEXT        縦のピクセル数（カメラの値の代わりに）\n"
           "  --size TEXT          星の大きさ（既定 30）\n"
           "  --grey TEXT          星の濃度 0〜255（既定 0）\n"
           "  --min TEXT           表示する面積の下限、この値を含む（既定 0）\n"
           "  --max TEXT           表示する面積の上限、この値を含まない（既定 10000）\n"
           "  --no-subpixel        サブピクセル処理をしない\n"
           "  --preset wide|tele   重星処理の初期値: 広角 または 望遠（既定は起動時の表）\n"
           "  --thresholds FILE    重星処理の設定ファイルを読み込む（プリセットの後）\n"
           "  --or                 OR を選ぶ（既定 AND）\n"
           "  --angle-correction TEXT  放射角補正\n"
           "  -o FILE              プロットを保存する（.png なら PNG、それ以外は BMP）\n"
           "  --json               数を JSON で出力する\n"
           "  --stars FILE         描いた星ごとに CSV の行を書く（番号, 面積, クラス, 種類）\n"
           "  --help               この説明\n"
           "\n"
           "終了コード: 0 描画完了, 1 描画中止（理由は標準エラー出力）, 2 使い方の誤り\n"
           "例: quendra-plot --camera SSPro --preset wide -o plot.bmp examples/m42-sample.txt\n";
}

bool HeadlessPlotter::parse(const std::vector<std::string>& args, std::ostream& err) {
    std::string camera = "EOS40D";
    std::string width;
    std::string height;
    std::string preset;
    const std::map<std::string, std::string*> valued{
        {"--camera", &camera},
        {"--width", &width},
        {"--height", &height},
        {"--size", &controls_.starSize},
        {"--grey", &controls_.grey},
        {"--min", &controls_.areaMin},
        {"--max", &controls_.areaMax},
        {"--preset", &preset},
        {"--thresholds", &thresholdFile_},
        {"-o", &imageFile_},
        {"--stars", &starsFile_},
    };
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = valued.count(arg) != 0 || arg == "--angle-correction";
        if (takesValue && i + 1 == args.size()) {
            err << "quendra-plot: " << arg << " には値が必要です。\n";
            return false;
        }
        if (arg == "--help" || arg == "-h") {
            help_ = true;
        } else if (arg == "--no-subpixel") {
            controls_.subPixel = false;
        } else if (arg == "--or") {
            or_ = true;
        } else if (arg == "--json") {
            json_ = true;
        } else if (arg == "--angle-correction") {
            angleCorrection_ = args[++i];
        } else if (takesValue) {
            *valued.at(arg) = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quendra-plot: 知らないオプション「" << arg
                << "」です。--help をご覧ください。\n";
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (help_) return true;
    if (!applyCamera(camera, width, height, err) || !applyPreset(preset, err)) return false;
    if (files.size() != 1) {
        err << "quendra-plot: 星のリストを一つ指定してください。--help をご覧ください。\n";
        return false;
    }
    starFile_ = files.front();
    return true;
}

bool HeadlessPlotter::applyCamera(const std::string& camera, const std::string& width,
                                  const std::string& height, std::ostream& err) {
    for (const CameraPreset& c : CameraPreset::all()) {
        if (c.caption != camera) continue;
        controls_.width = width.empty() ? std::to_string(c.width) : width;
        controls_.height = height.empty() ? std::to_string(c.height) : height;
        return true;
    }
    err << "quendra-plot: カメラ「" << camera << "」はありません（SSPro, EOS40D, \"EOS DX\"）。\n";
    return false;
}

bool HeadlessPlotter::applyPreset(const std::string& preset, std::ostream& err) {
    if (preset == "wide") {
        thresholds_ = LensPreset::wideAngle();
    } else if (preset == "tele") {
        thresholds_ = LensPreset::telephoto();
    } else if (!preset.empty()) {
        err << "quendra-plot: --preset は wide か tele です（「" << preset << "」）。\n";
        return false;
    }
    return true;
}

bool HeadlessPlotter::applyThresholdFile(std::ostream& err) {
    if (!thresholdFile_.empty()) {
        std::string content;
        const QString fault = TextFile::read(QString::fromStdString(thresholdFile_), content);
        if (!fault.isEmpty()) {
            err << fault.toStdString() << '\n';
            return false;
        }
        const ThresholdFile::Loaded loaded = ThresholdFile::parse(content);
        if (!loaded.ok) {
            err << Messages::thresholdFileUnreadable(thresholdFile_) << '\n'
                << loaded.fault << '\n';
            return false;
        }
        thresholds_ = loaded.table;
    }
    if (or_) thresholds_.andSelected = false;
    if (angleCorrection_) thresholds_.radialAngleCorrection = *angleCorrection_;
    return true;
}

void HeadlessPlotter::printCounts(const RunResult& result, std::ostream& out) const {
    out << "星の面積\t単星数\t重星数\n";
    for (const AreaClass& c : AreaClass::all()) {
        const auto row = static_cast<std::size_t>(c.index);
        out << c.label << '\t' << result.countTexts.single[row] << '\t'
            << result.countTexts.doubles[row] << '\n';
    }
}

void HeadlessPlotter::printJson(const RunResult& result, std::ostream& out) const {
    out << "{\"classes\": [";
    for (const AreaClass& c : AreaClass::all()) {
        const auto slot = static_cast<std::size_t>(c.index) + 1;
        out << (c.index == 0 ? "" : ", ") << "{\"label\": \"" << c.label
            << "\", \"single\": " << countOf(result.singleCounts[slot])
            << ", \"double\": " << result.doubleCounts[slot] << '}';
    }
    out << "], \"records\": " << result.recordsRead << ", \"drawn\": " << result.starsDrawn
        << "}\n";
}

int HeadlessPlotter::run(const std::vector<std::string>& args, const std::string& decimalSeparator,
                         std::ostream& out, std::ostream& err) {
    controls_.decimalSeparator = decimalSeparator;
    if (!parse(args, err)) return kUsage;
    if (help_) {
        out << usage();
        return kCompleted;
    }
    if (!applyThresholdFile(err)) return kStopped;

    std::ofstream stars;
    std::optional<StarCsv> csv;
    if (!starsFile_.empty()) {
        stars.open(starsFile_, std::ios::binary);
        if (!stars) {
            err << "星の一覧「" << starsFile_ << "」を作れません。\n";
            return kStopped;
        }
        csv.emplace(stars);
    }
    RasterSurface raster;
    StarObserver* const observers[] = {csv ? &*csv : nullptr};
    const PlotRequest request{controls_, thresholds_, starFile_};
    const RunResult result = runPlot(request, StarList::openSource, raster,
                                     {.observers = csv ? observers : std::span<StarObserver* const>{}});
    if (!result.completed) {
        err << result.message << '\n';
        if (!result.detail.empty()) err << result.detail << '\n';
        return kStopped;
    }
    if (stars.is_open() && !stars.flush()) {
        err << "星の一覧「" << starsFile_ << "」を書けません。\n";
        return kStopped;
    }
    if (!imageFile_.empty()) {
        const QString fault = ImageFile::save(raster, QString::fromStdString(imageFile_));
        if (!fault.isEmpty()) {
            err << fault.toStdString() << '\n';
            return kStopped;
        }
    }
    json_ ? printJson(result, out) : printCounts(result, out);
    return kCompleted;
}
