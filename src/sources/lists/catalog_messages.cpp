#include "sources/lists/catalog_messages.h"

#include "text/messages.h"

namespace {

std::string catalog(std::string_view path) {
    return "カタログ「" + Messages::shownName(path) + "」";
}

std::string atLine(std::string_view path, long line) {
    return catalog(path) + "の " + std::to_string(line) + " 行目: ";
}

}  // namespace

std::string CatalogMessages::cannotOpen(std::string_view path, int errorNumber) {
    return catalog(path) + "を開けません（" + Messages::fileReason(errorNumber) + "）。";
}

std::string CatalogMessages::unreadable(std::string_view path, long line) {
    return catalog(path) + "を読めません（" + std::to_string(line) + " 行目）。";
}

std::string CatalogMessages::badColumnNumber(std::string_view path, long line,
                                             std::string_view number) {
    return atLine(path, line) + "列の番号「" + std::string(number) +
           "」が前の列の番号より大きくありません。";
}

std::string CatalogMessages::columnTwice(std::string_view path, long line, std::string_view name) {
    return atLine(path, line) + "列 " + std::string(name) + " が二度あります。";
}

std::string CatalogMessages::missingColumns(std::string_view path, std::string_view names) {
    return catalog(path) + "には " + std::string(names) +
           " の列がありません。Source Extractor の .param ファイルに加えてカタログを作り直して"
           "ください。";
}

std::string CatalogMessages::itemTooLong(std::string_view path, long line, std::string_view item,
                                         std::size_t longest) {
    return atLine(path, line) + "「" + std::string(item) + "」は長すぎて数値ではありません（" +
           std::to_string(longest) + " バイトまで）。";
}

std::string CatalogMessages::notANumber(std::string_view path, long line, std::string_view column,
                                        std::string_view item) {
    return atLine(path, line) + std::string(column) + " の「" + std::string(item) +
           "」は数値ではありません。";
}

std::string CatalogMessages::shortRow(std::string_view path, long line, long items, long needed) {
    return atLine(path, line) + "項目が " + std::to_string(items) + " 個しかありません（列は " +
           std::to_string(needed) + " 個あります）。";
}

std::string CatalogMessages::unevenRow(std::string_view path, long line, long items,
                                       long firstRow) {
    return atLine(path, line) + "項目が " + std::to_string(items) + " 個あり、最初の行の " +
           std::to_string(firstRow) + " 個と違います。";
}
