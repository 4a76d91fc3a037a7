#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "plot/star_record.h"
#include "plot/star_source.h"
#include "sources/lists/input_file.h"

// Reads a star list as a stream of items: a leading header item, then records of twelve numbers.
// Items are separated by a comma, by blanks or tabs, or by line ends (LF, CR LF or CR); a comma
// with blanks or line ends around it is one separator. Memory stays the same however long the
// file is, and so does the time for any byte stream: no item, the header included, is read past
// kLongestItem bytes.
class StarList : public StarSource {
public:
    StarList() = default;
    ~StarList() override;
    StarList(const StarList&) = delete;
    StarList& operator=(const StarList&) = delete;

    // Opens the file and reads the header item; the fault (also fault()) when the file cannot be
    // opened or read, is empty, or does not start with a header.
    Result<> open(const std::string& path);
    // The same from a file already opened, its head read: the reading goes on from there.
    Result<> open(InputFile input);
    // The next record; End after the last complete record (blanks and line ends may follow it).
    Status next(StarRecord& record) override;
    void close();

    const Fault& fault() const override { return fault_; }
    long line() const override { return line_; }
    std::int64_t recordsRead() const override { return records_; }

    // The star list as a run's source.
    static Result<std::unique_ptr<StarSource>> openSource(const std::string& path,
                                                          const SourceContext& context);
    // The same from a file already opened, its head read.
    static Result<std::unique_ptr<StarSource>> openFrom(InputFile input);

    static constexpr int kItemsPerRecord = 12;
    // Longer than any number or header a star list holds; a stream without separators (a
    // device, a binary file) stops here instead of being read to its end.
    static constexpr std::size_t kLongestItem = 4096;
    using Items = std::array<double, kItemsPerRecord>;

private:
    enum class Item { Number, End, Fault };

    int peek();
    int get();
    // Keeps the unread bytes and reads more behind them; false when none are left.
    bool refill();
    // Tops the buffer up when fewer than `bytes` unread bytes are left and the file goes on.
    void keepInBuffer(std::size_t bytes);
    // The common item, a plain number ending at a separator, converted in place; false leaves
    // everything as it was for the careful reading of readItem.
    bool readPlainNumber(double& value);
    // The common record, twelve plain numbers between plain separators, read in one sweep over
    // the buffer; false leaves everything as it was for the item by item reading.
    bool readPlainRecord(Items& items);
    void countLineEnd(int c);
    // Skips the separator before an item; false (with a fault) on a second comma.
    bool skipSeparator(bool& sawEnd);
    Item readItem(double& value, int itemNumber);
    bool readHeader();
    void setFault(std::string message);

    std::FILE* file_ = nullptr;
    std::string path_;
    static constexpr std::size_t kRecordRoom = 4096;  // enough for any everyday record
    std::array<char, 1 << 16> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool readError_ = false;
    bool lastWasCr_ = false;
    long line_ = 1;
    long recordLine_ = 1;  // the line the record being read began on
    std::int64_t records_ = 0;
    std::array<char, kLongestItem> token_{};
    std::size_t tokenLength_ = 0;
    Fault fault_;
};
