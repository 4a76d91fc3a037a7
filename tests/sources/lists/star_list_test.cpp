#include "sources/lists/star_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <vector>

#include "plot/temp_file.h"

namespace {

struct Read {
    std::vector<StarRecord> records;
    StarSource::Status last;
    std::string fault;
};

Read readAll(const std::string& content) {
    TempFile file(content);
    StarList list;
    Read read{};
    if (!list.open(file.path()).done()) {
        read.last = StarSource::Status::Fault;
        read.fault = list.fault().message;
        return read;
    }
    StarRecord record;
    while ((read.last = list.next(record)) == StarSource::Status::Record) {
        read.records.push_back(record);
    }
    read.fault = list.fault().message;
    return read;
}

const std::string kRecord1 = "1,23.5,100.25,200.75,0,0,6,5,8,7.5,33.25,0.8";
const std::string kRecord2 = "2,5,10,20,0,0,1,1,2,3,90,1";

TEST(StarList, ReadsOneRecordPerLineWithCrLf) {
    const Read read = readAll("header\r\n" + kRecord1 + "\r\n" + kRecord2 + "\r\n");
    ASSERT_EQ(read.last, StarSource::Status::End);
    ASSERT_EQ(read.records.size(), 2u);
    const StarRecord& r = read.records[0];
    EXPECT_EQ(r.index, 1);
    EXPECT_EQ(r.area, 23.5);
    EXPECT_EQ(r.x, 100.25);
    EXPECT_EQ(r.y, 200.75);
    EXPECT_EQ(r.extent1, 6);
    EXPECT_EQ(r.extent2, 5);
    EXPECT_EQ(r.span, 8);
    EXPECT_EQ(r.size, 7.5);
    EXPECT_EQ(r.angle, 33.25F);
    EXPECT_EQ(r.roundness, 0.8);
    EXPECT_EQ(read.records[1].angle, 90.0F);
}

TEST(StarList, RecordsComeFromCountingItemsNotLines) {
    // Six items per line, LF, CR and blank-separated forms, and no final line end.
    const Read a = readAll("7\n1,23.5,100.25,200.75,0,0\n6,5,8,7.5,33.25,0.8\n" + kRecord2);
    const Read b = readAll("7\r1 23.5\t100.25 , 200.75,0,0,6,5,8,7.5,33.25,0.8\r" + kRecord2);
    ASSERT_EQ(a.last, StarSource::Status::End);
    ASSERT_EQ(b.last, StarSource::Status::End);
    ASSERT_EQ(a.records.size(), 2u);
    ASSERT_EQ(b.records.size(), 2u);
    EXPECT_EQ(a.records[0].roundness, 0.8);
    EXPECT_EQ(b.records[0].roundness, 0.8);
    EXPECT_EQ(b.records[0].y, 200.75);
}

TEST(StarList, HeaderIsEverythingUpToTheFirstCommaOrLineEnd) {
    const Read read = readAll("\xEF\xBB\xBFM42 frame 3, 2 stars\n" + kRecord1);
    // The header ends at the comma, so "2 stars" are the next items: not numbers.
    EXPECT_EQ(read.last, StarSource::Status::Fault);
    EXPECT_NE(read.fault.find("「stars」は数値ではありません"), std::string::npos) << read.fault;
    const Read bom = readAll("\xEF\xBB\xBFM42 frame 3\n" + kRecord1);
    EXPECT_EQ(bom.last, StarSource::Status::End);
    EXPECT_EQ(bom.records.size(), 1u);
}

TEST(StarList, TrailingBlanksAndBlankLinesEndNormally) {
    const Read read = readAll("h\n" + kRecord1 + "\r\n\r\n   \n\t\n");
    EXPECT_EQ(read.last, StarSource::Status::End);
    EXPECT_EQ(read.records.size(), 1u);
    const Read headerOnly = readAll("header only\r\n");
    EXPECT_EQ(headerOnly.last, StarSource::Status::End);
    EXPECT_TRUE(headerOnly.records.empty());
}

TEST(StarList, FaultsNameTheFileAndTheLine) {
    Read read = readAll("");
    EXPECT_EQ(read.last, StarSource::Status::Fault);
    EXPECT_NE(read.fault.find("は空です"), std::string::npos);

    read = readAll("h\n" + kRecord1 + "\n2,5,,10,20,0,0,1,1,2,3,90,1\n");
    EXPECT_EQ(read.records.size(), 1u);
    EXPECT_NE(read.fault.find("3 行目"), std::string::npos) << read.fault;
    EXPECT_NE(read.fault.find("項目が空"), std::string::npos);

    read = readAll("h\n" + kRecord1 + "\n2,5,1O,20\n");
    EXPECT_NE(read.fault.find("3 行目: 「1O」は数値ではありません"), std::string::npos);

    read = readAll("h\r\n" + kRecord1 + "\r\n2,5,10,20\r\n");
    EXPECT_EQ(read.last, StarSource::Status::Fault);
    EXPECT_NE(read.fault.find("レコード 2（3 行目から）の途中"), std::string::npos) << read.fault;
    EXPECT_NE(read.fault.find("4 個目"), std::string::npos) << read.fault;

    read = readAll(std::string("h\n1,2,3\0,4", 10));
    EXPECT_NE(read.fault.find("「3?」は数値ではありません"), std::string::npos) << read.fault;

    read = readAll("h\n1,1e400,3\n");
    EXPECT_NE(read.fault.find("「1e400」は大きすぎて扱えない数値です"), std::string::npos);

    // The angle is kept in single precision: beyond its range it would become infinite.
    for (const char* sep : {",", " , "}) {
        read =
            readAll(std::string("h\n") + kRecord1 + "\n2,5,1,1,0,0,1,1,1,6,1e308" + sep + "0.5\n");
        EXPECT_EQ(read.records.size(), 1u);
        EXPECT_NE(read.fault.find("3 行目: 「1e308」は大きすぎて扱えない数値です"),
                  std::string::npos)
            << read.fault;
    }

    for (const char* item : {"nan", "inf", "-", ".", "1e", "0x10", "1.2.3", "\"1\""}) {
        read = readAll(std::string("h\n1,") + item + ",3\n");
        EXPECT_EQ(read.last, StarSource::Status::Fault) << item;
    }
}

TEST(StarList, NumberForms) {
    const Read read = readAll("h\n+1,-0,.5,5.,1e2,1E-2,-1.5e+1,0,0,0,0,0\n");
    ASSERT_EQ(read.records.size(), 1u);
    const StarRecord& r = read.records[0];
    EXPECT_EQ(r.index, 1);
    EXPECT_EQ(r.area, 0);
    EXPECT_EQ(r.x, 0.5);
    EXPECT_EQ(r.y, 5);
    EXPECT_EQ(r.extent1, -15);
}

// Short decimals take a quicker way than from_chars; every bit must still be the same, the sign
// of a zero included, around the limit of 15 digits and for long fractions.
TEST(StarList, DecimalsReadExactlyAsFromChars) {
    std::mt19937_64 random(5);
    std::vector<std::string> texts{"-0",
                                   "0.",
                                   "-.0",
                                   "123456789012345",
                                   "1234567890123456",
                                   "0.000000000000001",
                                   "9999999999999.99",
                                   "0.1",
                                   "-7.000"};
    for (int n = 0; n < 4000; ++n) {
        const int digits = 1 + static_cast<int>(random() % 17);
        std::string text = random() % 4 == 0 ? "-" : "";
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        texts.push_back(text);
    }
    std::string list = "h\n";
    std::size_t records = 0;
    for (std::size_t at = 0; at < texts.size(); at += 10, ++records) {
        list += std::to_string(records + 1);
        for (std::size_t k = 0; k < 11; ++k) {
            list += "," + (k == 9 ? std::string("0")
                                  : texts[std::min(at + k - (k > 9), texts.size() - 1)]);
        }
        list += "\n";
    }
    const Read read = readAll(list);
    ASSERT_EQ(read.last, StarSource::Status::End) << read.fault;
    ASSERT_EQ(read.records.size(), records);
    for (std::size_t i = 0; i < records; ++i) {
        const StarRecord& r = read.records[i];
        const std::array<double, 10> fields{r.area,    r.x,       r.y,    r.left, r.top,
                                            r.extent1, r.extent2, r.span, r.size, r.roundness};
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const std::string& text = texts[std::min(i * 10 + k, texts.size() - 1)];
            double expected = 0;
            std::from_chars(text.data(), text.data() + text.size(), expected);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(fields[k]),
                      std::bit_cast<std::uint64_t>(expected))
                << text;
        }
    }
}

TEST(StarList, MissingFileIsAFault) {
    StarList list;
    EXPECT_TRUE(list.open("/nonexistent/星 リスト.txt").faulted());
    EXPECT_NE(list.fault().message.find("「/nonexistent/星 リスト.txt」を開けません"),
              std::string::npos);
}

TEST(StarList, LongFilesStreamAcrossBufferBoundaries) {
    std::string content = "h\r\n";
    const int count = 20000;
    for (int i = 1; i <= count; ++i) {
        content += std::to_string(i) + ",12.5,1000.125,2000.5,0,0,3,4,5,6,45.5,0.75\r\n";
    }
    const Read read = readAll(content);
    ASSERT_EQ(read.last, StarSource::Status::End);
    ASSERT_EQ(read.records.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(read.records[static_cast<std::size_t>(i)].index, i + 1);
        ASSERT_EQ(read.records[static_cast<std::size_t>(i)].x, 1000.125);
    }
}

}  // namespace
