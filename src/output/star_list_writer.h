#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "output/output_file.h"
#include "plot/star_source.h"

// Writes every star a source gives, before any filtering, as a star list: the number of stars as
// its header, then one record per line, every number in its shortest form that reads back as
// the same value, CR LF line ends. Plotting the list gives what plotting the source gave.
class StarListWriter {
public:
    StarListWriter();
    ~StarListWriter();
    StarListWriter(const StarListWriter&) = delete;
    StarListWriter& operator=(const StarListWriter&) = delete;

    // An opener whose sources pass every record through this writer.
    StarSourceOpener recording(StarSourceOpener open);
    void add(const StarRecord& star);
    // Writes the header and the records into file; the file is the caller's to commit.
    Result<> finish(OutputFile& file);

private:
    std::FILE* records_;  // the records, until their number is known for the header
    std::int64_t count_ = 0;
    std::string line_;
};
