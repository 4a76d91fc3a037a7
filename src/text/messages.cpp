#include "text/messages.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace {

std::string quoted(std::string_view path) {
    return "「" + Messages::shownName(path) + "」";
}

// The length of the well-formed UTF-8 sequence at the start of text, 0 when it is not one.
std::size_t utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
    }
    const auto second = static_cast<unsigned char>(text[1]);
    // Overlong forms, surrogates and code points past U+10FFFF are no characters.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    // C1 controls (U+0080..U+009F) are escaped like the C0 ones.
    if (lead == 0xC2 && second < 0xA0) return 0;
    return length;
}

void appendEscaped(std::string& out, unsigned char byte) {
    constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                        '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

std::string Messages::shownName(std::string_view path) {
    std::string shown;
    shown.reserve(path.size());
    while (!path.empty()) {
        const auto byte = static_cast<unsigned char>(path[0]);
        const std::size_t length = utf8Length(path);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            appendEscaped(shown, byte);
            path.remove_prefix(1);
            continue;
        }
        shown.append(path.substr(0, length));
        path.remove_prefix(length);
    }
    return shown;
}

std::string Messages::badSide(std::string_view name, std::string_view text, int largest) {
    return std::string(name) + "「" + std::string(text) + "」は 1 から " + std::to_string(largest) +
           " までのピクセル数ではありません。";
}

std::string Messages::badStarSize(std::string_view text) {
    return "星の大きさ「" + std::string(text) + "」は 0 より大きい数にしてください。";
}

std::string Messages::smallStarSize(std::string_view text) {
    return "星の大きさ「" + std::string(text) +
           "」は 1 より小さいので、星がとても大きく描かれます。プロットが黒く塗りつぶされることが"
           "あります（標準は 30）。";
}

std::string Messages::badGrey(std::string_view text) {
    return "星の濃度「" + std::string(text) +
           "」は 0 から 255 までの数にしてください（0 が黒、255 が白です）。";
}

std::string Messages::starsOutside(std::int64_t count, std::string_view sizeNames) {
    return std::to_string(count) + " 個の星が画像の外にあります。" + std::string(sizeNames) +
           "が、星を測った写真の大きさと合っているか確かめてください。";
}

std::string Messages::noStarList() {
    return "星のリストが選ばれていません。「解析データ」で選んでください。";
}

std::string Messages::plotMemory(int width, int height) {
    return "プロットの画像（" + std::to_string(width) + " × " + std::to_string(height) +
           " ピクセル）を作るメモリが足りません。";
}

std::string Messages::outOfMemory() {
    return "メモリが足りないため、処理を中止しました。";
}

std::string Messages::recordMismatchDetail(std::int64_t record, long line) {
    const std::string n = std::to_string(record);
    return "レコード " + n + "（" + std::to_string(line) + " 行目）の番号が " + n +
           " ではありません。";
}

std::string Messages::thresholdFileUnreadable(std::string_view path) {
    return "設定ファイル" + quoted(path) + "を読み込めません。";
}

std::string Messages::fileReason(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "ファイルまたはフォルダがありません";
        case EACCES:
        case EPERM:
            return "アクセスする権限がありません";
        case ENOSPC:
            return "ディスクの空きがありません";
        case EDQUOT:
            return "ディスクの割り当てを超えました";
        case EISDIR:
            return "フォルダです";
        case ENOTDIR:
            return "途中の名前がフォルダではありません";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case EFBIG:
            return "ファイルが大きすぎます";
        case ENAMETOOLONG:
            return "名前が長すぎます";
        case ENOMEM:
            return "メモリが足りません";
        case EIO:
            return "入出力エラーです";
        default:
            return std::strerror(errorNumber);
    }
}

namespace {

std::string starList(std::string_view path) {
    return "星のリスト" + quoted(path);
}

std::string atLine(std::string_view path, long line) {
    return starList(path) + "の " + std::to_string(line) + " 行目: ";
}

}  // namespace

std::string Messages::starListCannotOpen(std::string_view path, int errorNumber) {
    return starList(path) + "を開けません（" + fileReason(errorNumber) + "）。";
}

std::string Messages::starListUnreadable(std::string_view path) {
    return starList(path) + "を読めません。";
}

std::string Messages::starListUnreadableAt(std::string_view path, long line) {
    return starList(path) + "を読めません（" + std::to_string(line) + " 行目）。";
}

std::string Messages::starListEmpty(std::string_view path) {
    return starList(path) + "は空です。";
}

std::string Messages::starListNoHeader(std::string_view path) {
    return starList(path) + "は星のリストではありません（先頭の項目が文字ではなく NUL です）。";
}

std::string Messages::starListHeaderTooLong(std::string_view path, std::size_t longest) {
    return starList(path) + "は星のリストではありません（先頭の項目が " + std::to_string(longest) +
           " バイトを超えても終わりません）。";
}

std::string Messages::starListItemTooLong(std::string_view path, long line, std::string_view item,
                                          std::size_t longest) {
    return atLine(path, line) + "「" + std::string(item) + "」は長すぎて数値ではありません（" +
           std::to_string(longest) + " バイトまで）。";
}

std::string Messages::starListEmptyItem(std::string_view path, long line) {
    return atLine(path, line) + "カンマが続いていて、その間の項目が空です。";
}

std::string Messages::starListNotANumber(std::string_view path, long line, std::string_view item) {
    return atLine(path, line) + "「" + std::string(item) + "」は数値ではありません。";
}

std::string Messages::starListNumberTooLarge(std::string_view path, long line,
                                             std::string_view item) {
    return atLine(path, line) + "「" + std::string(item) + "」は大きすぎて扱えない数値です。";
}

std::string Messages::starListEndsInRecord(std::string_view path, std::int64_t record, int items,
                                           long line) {
    return starList(path) + "はレコード " + std::to_string(record) + "（" + std::to_string(line) +
           " 行目から）の途中、" + std::to_string(items) + " 個目の項目の後で終わっています。";
}
