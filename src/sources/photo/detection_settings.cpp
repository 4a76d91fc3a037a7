#include "sources/photo/detection_settings.h"

#include <cmath>

#include "text/number_text.h"

std::string DetectionSettings::problem() const {
    if (!(std::isfinite(threshold) && threshold > 0)) {
        return "検出のしきい値「" + numberText(threshold) + "」は 0 より大きい数にしてください。";
    }
    if (minArea < 1) {
        return "最小面積「" + std::to_string(minArea) + "」は 1 以上のピクセル数にしてください。";
    }
    if (!(deblendContrast >= 0 && deblendContrast <= 1)) {
        return "分離のコントラスト「" + numberText(deblendContrast) +
               "」は 0 から 1 までの数にしてください。";
    }
    if (backgroundSize < 1 || backgroundSize > 32767) {
        return "背景のメッシュ「" + std::to_string(backgroundSize) +
               "」は 1 から 32767 までのピクセル数にしてください。";
    }
    return {};
}
