#include "cli/plotter_options.h"

#include <charconv>
#include <map>

#include "doublestar/lens_preset.h"
#include "plot/camera_preset.h"

namespace {

constexpr int kMostRuns = 1024;

std::string inPlotter(const std::string& text) {
    return "quendra-plot: " + text + "\n";
}

// Reads the arguments one by one into a job; the first usage error ends it.
class Reader {
public:
    Reader(const std::string& decimalSeparator, int processors) {
        job_.controls.decimalSeparator = decimalSeparator;
        job_.thresholds = LensPreset::initial();
        job_.parallel = processors;
    }

    PlotterOptions::Parsed read(const std::vector<std::string>& args);

private:
    bool option(const std::string& name, const std::string* value, bool attached, bool& usedValue);
    bool flag(const std::string& name);
    bool valued(const std::string& name, const std::string& value);
    bool detection(const std::string& name, const std::string& value);
    bool mapGrid(const std::string& value);
    bool finish();
    bool finishWatch();
    PlotterOptions::Parsed usageError() const {
        return {PlotterOptions::Outcome::Usage, {}, error_};
    }
    bool fail(const std::string& text) {
        error_ = inPlotter(text);
        return false;
    }

    PlotJob job_;
    std::string camera_{CameraPreset::defaultCamera().caption};
    std::string width_;
    std::string height_;
    std::string preset_;
    bool help_ = false;
    std::string error_;
};

// Options that take a file name: an empty one is a mistake, never "no file".
bool namesFile(const std::string& name) {
    return name == "-o" || name == "--stars" || name == "--regions" || name == "--map" ||
           name == "--map-json" || name == "--save-list" || name == "--summary" ||
           name == "--thresholds" || name == "--watch";
}

bool isDetection(const std::string& name) {
    return name == "--threshold" || name == "--min-area" || name == "--deblend-contrast" ||
           name == "--background-size" || name == "--filter";
}

// The whole text as one number of type T, nothing before or after it.
template <typename T>
bool readWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool isFlag(const std::string& name) {
    return name == "--help" || name == "-h" || name == "--no-subpixel" || name == "--or" ||
           name == "--json" || name == "--quiet" || name == "-q";
}

bool takesValue(const std::string& name) {
    return namesFile(name) || name == "--camera" || name == "--width" || name == "--height" ||
           name == "--size" || name == "--grey" || name == "--min" || name == "--max" ||
           name == "--preset" || name == "--angle-correction" || name == "--map-grid" ||
           name == "-j" || name == "--jobs" || isDetection(name);
}

PlotterOptions::Parsed Reader::read(const std::vector<std::string>& args) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            job_.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        if (equals != std::string::npos) {
            const std::string value = arg.substr(equals + 1);
            bool used = false;
            if (!option(arg.substr(0, equals), &value, true, used)) return usageError();
            continue;
        }
        // A short option with its value attached, as getopt reads it: "-j4", "-oplot.bmp".
        if (arg[1] != '-' && arg.size() > 2 && takesValue(arg.substr(0, 2))) {
            const std::string value = arg.substr(2);
            bool used = false;
            if (!option(arg.substr(0, 2), &value, false, used)) return usageError();
            continue;
        }
        const std::string* next = i + 1 < args.size() ? &args[i + 1] : nullptr;
        bool used = false;
        if (!option(arg, next, false, used)) return usageError();
        if (used) ++i;
    }
    if (help_) return {PlotterOptions::Outcome::Help, {}, {}};
    if (!finish()) return usageError();
    return {PlotterOptions::Outcome::Run, std::move(job_), {}};
}

bool Reader::option(const std::string& name, const std::string* value, bool attached,
                    bool& usedValue) {
    if (isFlag(name)) {
        if (attached) return fail(name + " は値を取りません。");
        return flag(name);
    }
    if (!takesValue(name)) {
        return fail("知らないオプション「" + name + "」です。--help をご覧ください。");
    }
    if (value == nullptr) return fail(name + " には値が必要です。");
    usedValue = true;
    return valued(name, *value);
}

bool Reader::flag(const std::string& name) {
    if (name == "--help" || name == "-h") help_ = true;
    if (name == "--no-subpixel") job_.controls.subPixel = false;
    if (name == "--or") job_.orSelected = true;
    if (name == "--json") job_.json = true;
    if (name == "--quiet" || name == "-q") job_.quiet = true;
    return true;
}

bool Reader::valued(const std::string& name, const std::string& value) {
    if (namesFile(name) && value.empty()) {
        return fail(name +
                    (name == "--watch" ? " のフォルダ名が空です。" : " のファイル名が空です。"));
    }
    const std::map<std::string, std::string*> texts{
        {"--camera", &camera_},
        {"--width", &width_},
        {"--height", &height_},
        {"--size", &job_.controls.starSize},
        {"--grey", &job_.controls.grey},
        {"--min", &job_.controls.areaMin},
        {"--max", &job_.controls.areaMax},
        {"--preset", &preset_},
        {"--thresholds", &job_.thresholdFile},
        {"-o", &job_.outputs.image},
        {"--stars", &job_.outputs.stars},
        {"--regions", &job_.outputs.regions},
        {"--map", &job_.outputs.map},
        {"--map-json", &job_.outputs.mapJson},
        {"--save-list", &job_.outputs.saveList},
        {"--summary", &job_.summary},
        {"--watch", &job_.watch},
    };
    if (const auto text = texts.find(name); text != texts.end()) {
        *text->second = value;
        if (name == "--width") job_.widthGiven = true;
        if (name == "--height") job_.heightGiven = true;
        return true;
    }
    if (name == "--angle-correction") {
        job_.angleCorrection = value;
        return true;
    }
    if (isDetection(name)) return detection(name, value);
    if (name == "--map-grid") return mapGrid(value);
    int runs = 0;
    if (!readWhole(value, runs) || runs < 1 || runs > kMostRuns) {
        return fail(name + " は 1 から " + std::to_string(kMostRuns) + " までの整数です（「" +
                    value + "」）。");
    }
    job_.parallel = runs;
    return true;
}

bool Reader::mapGrid(const std::string& value) {
    int grid = 0;
    if (!readWhole(value, grid) || grid < 1 || grid > ShapeMap::kLargestGrid) {
        return fail("--map-grid は 1 から " + std::to_string(ShapeMap::kLargestGrid) +
                    " までの整数です（「" + value + "」）。");
    }
    job_.mapGrid = grid;
    return true;
}

bool Reader::detection(const std::string& name, const std::string& value) {
    DetectionSettings& d = job_.detection;
    if (name == "--filter") {
        if (value != "gauss" && value != "none") {
            return fail("--filter は gauss か none です（「" + value + "」）。");
        }
        d.filter = value == "gauss";
        return true;
    }
    const bool read = name == "--threshold"          ? readWhole(value, d.threshold)
                      : name == "--min-area"         ? readWhole(value, d.minArea)
                      : name == "--deblend-contrast" ? readWhole(value, d.deblendContrast)
                                                     : readWhole(value, d.backgroundSize);
    if (!read) return fail(name + " の値「" + value + "」は数値ではありません。");
    if (const std::string problem = d.problem(); !problem.empty()) return fail(problem);
    return true;
}

bool Reader::finish() {
    bool found = false;
    for (const CameraPreset& c : CameraPreset::all()) {
        if (c.caption != camera_) continue;
        job_.controls.width = job_.widthGiven ? width_ : std::to_string(c.width);
        job_.controls.height = job_.heightGiven ? height_ : std::to_string(c.height);
        found = true;
    }
    if (!found) {
        return fail("カメラ「" + camera_ + "」はありません（SSPro, EOS40D, \"EOS DX\"）。");
    }
    if (preset_ == "wide") {
        job_.thresholds = LensPreset::wideAngle();
    } else if (preset_ == "tele") {
        job_.thresholds = LensPreset::telephoto();
    } else if (!preset_.empty()) {
        return fail("--preset は wide か tele です（「" + preset_ + "」）。");
    }
    if (!job_.watch.empty()) return finishWatch();
    if (job_.inputs.empty()) {
        return fail("星のリストを一つ以上指定してください。--help をご覧ください。");
    }
    for (const std::string& input : job_.inputs) {
        if (input.empty())
            return fail("入力ファイルの名前が空です（星のリストが指定されていません）。");
    }
    return true;
}

// The folder gives the inputs, and the summary is appended a row at a time, which only CSV can be.
bool Reader::finishWatch() {
    if (!job_.inputs.empty()) {
        return fail("--watch のときは入力を指定しません（フォルダの入力を順に描画します）。");
    }
    const std::string& summary = job_.summary;
    if (job_.json ||
        (summary.size() >= 5 && summary.compare(summary.size() - 5, 5, ".json") == 0)) {
        return fail("--watch の集計は一行ずつ書き足す CSV です（--json と .json は使えません）。");
    }
    return true;
}

}  // namespace

PlotterOptions::Parsed PlotterOptions::parse(const std::vector<std::string>& args,
                                             const std::string& decimalSeparator, int processors) {
    return Reader(decimalSeparator, processors).read(args);
}

const char* PlotterOptions::usage() {
    return "使い方: quendra-plot [オプション] 入力...\n"
           "\n"
           "「描画」と同じ処理を画面なしで行い、面積クラスごとの単星数と重星数を表示します。\n"
           "入力は星のリスト、Source Extractor "
           "のカタログ（ASCII_HEAD）、または写真（FITS、カメラの\n"
           "RAW（CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, DNG など）、TIFF, PNG, JPEG, BMP）です。\n"
           "写真からは星を検出します。入力が複数なら、同じ設定で入力ごとに一回ずつ描画し（並列に）"
           "、\n"
           "入力ごとに一行の集計を出します。\n"
           "\n"
           "  --camera NAME        カメラ: SSPro, EOS40D, \"EOS DX\"（既定 EOS40D）\n"
           "  --width TEXT         横のピクセル数（カメラの値の代わりに。写真なら既定は写真の幅）\n"
           "  --height TEXT        "
           "縦のピクセル数（カメラの値の代わりに。写真なら既定は写真の高さ）\n"
           "                       カタログは、隣に同じ名前の写真（field.cat と field.fits など）\n"
           "                       があれば、その写真の大きさが既定です\n"
           "  --size TEXT          星の大きさ、0 より大きい数（既定 30、1 未満は警告）\n"
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
           "  --stars FILE         描いた星ごとに CSV の行を書く（番号, 面積, クラス, 種類, x, y,\n"
           "                       大きさ, 角度, 真円度, 放射角, 角度差, FWHM）\n"
           "  --regions FILE       描いた星を DS9 の領域ファイルに書く（単星 緑、重星 赤・橙）\n"
           "  --map FILE           星像マップ（星の形の地図と読み取り）を PNG で書く\n"
           "  --map-json FILE      星像マップの数値と読み取りを JSON で書く\n"
           "  --map-grid N         星像マップの領域を N × N に分ける、1 から 9（既定 3）\n"
           "  --save-list FILE     読んだ星をすべて星のリストとして書く\n"
           "  --summary FILE       入力ごとの集計を書く（.json なら JSON、それ以外は CSV）\n"
           "  --watch DIR          "
           "フォルダの入力をすべて描画し、その後は新しい入力が書き終わるごとに\n"
           "                       描画して集計の行を書き足す（Ctrl+C で終わる）\n"
           "  --threshold X        写真の検出しきい値、背景の RMS の何倍か（既定 3）\n"
           "  --min-area N         写真の星の最小面積、ピクセル数（既定 5）\n"
           "  --deblend-contrast X 写真の星を分ける最小コントラスト（既定 0.2）\n"
           "  --background-size N  写真の背景のメッシュの大きさ、ピクセル数（既定 64）\n"
           "  --filter gauss|none  写真の検出のフィルター: FWHM 2 の 5×5 ガウス、またはなし\n"
           "                       （既定 gauss）\n"
           "  -j, --jobs N         同時に描画する数（既定はプロセッサの数）\n"
           "  -q, --quiet          進み具合を表示しない\n"
           "  --help               この説明\n"
           "\n"
           "値は「--size 20」とも「--size=20」とも、-j と -o は「-j4」とも書けます。入力が\n"
           "複数のときと --watch のとき、-o, --stars, --regions, --map, --map-json, --save-list\n"
           "のファイル名には {name}（入力のファイル名から拡張子を除いたもの）を入れます。\n"
           "\n"
           "描いた星の中心が画像の外にあれば、その数を標準エラー出力に書きます。\n"
           "\n"
           "終了コード: 0 描画完了, 1 描画中止（理由は標準エラー出力）, 2 使い方の誤り\n"
           "例: quendra-plot --camera SSPro --preset wide -o plot.bmp examples/m42-sample.txt\n"
           "    quendra-plot --summary night.csv -o plots/{name}.png frames/*.fits\n"
           "    quendra-plot --watch frames --summary night.csv -o plots/{name}.png\n";
}
