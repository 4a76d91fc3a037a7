#include "sources/photo/photo_messages.h"

#include "text/messages.h"
#include "text/number_text.h"

namespace {

std::string photo(std::string_view path) {
    return "写真「" + Messages::shownName(path) + "」";
}

std::string size(long long width, long long height) {
    return std::to_string(width) + " × " + std::to_string(height) + " ピクセル";
}

}  // namespace

std::string PhotoMessages::cannotOpen(std::string_view path, int errorNumber) {
    return photo(path) + "を開けません（" + Messages::fileReason(errorNumber) + "）。";
}

std::string PhotoMessages::noImage(std::string_view path) {
    return "FITS ファイル「" + Messages::shownName(path) +
           "」には読める画像（2 次元の画像か 3 色の画像）がありません。";
}

std::string PhotoMessages::badSide(std::string_view path, long long width, long long height) {
    return photo(path) + "の大きさ（" + size(width, height) +
           "）は扱えません。縦と横は 1 から 32767 ピクセルまでです。";
}

std::string PhotoMessages::damaged(std::string_view path) {
    return photo(path) + "は壊れているか途中で切れているため、読めません。";
}

std::string PhotoMessages::unreadable(std::string_view path) {
    return photo(path) + "を読めません。";
}

std::string PhotoMessages::notRaw(std::string_view path) {
    return photo(path) +
           "は RAW "
           "ファイルとして読めません（この形式かこのカメラには対応していないか、壊れています）。";
}

std::string PhotoMessages::unsupportedSensor(std::string_view path) {
    return photo(path) + "のセンサーの画素の並びには対応していないため、読めません。";
}

std::string PhotoMessages::outOfMemory(std::string_view path, long long width, long long height) {
    return photo(path) + "（" + size(width, height) + "）を扱うメモリが足りません。";
}

std::string PhotoMessages::noStars(std::string_view path, const DetectionSettings& settings) {
    return photo(path) + "に星が見つかりません（しきい値は背景のゆらぎの " +
           numberText(settings.threshold) + " 倍、最小面積 " + std::to_string(settings.minArea) +
           " ピクセル）。";
}

std::string PhotoMessages::tooCrowded(std::string_view path) {
    return photo(path) +
           "は明るい部分が広すぎるか、重なった天体が多すぎるため、星を検出できません。";
}

std::string PhotoMessages::tooLarge(std::string_view path, long long width, long long height) {
    return photo(path) + "（" + size(width, height) +
           "）は大きすぎて星を検出できません。星を検出できるのは、横 ×（縦 − 1）が 536870911 "
           "ピクセルまでの写真です（正方形なら 23170 × 23170 まで）。";
}

std::string PhotoMessages::detectionFailed(std::string_view path) {
    return photo(path) + "の星の検出に失敗しました。";
}
