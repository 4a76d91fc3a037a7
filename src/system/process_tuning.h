#pragma once

// What both programs set for the whole process at their start, before any thread starts:
// - a write past the file size limit (`ulimit -f`) fails with EFBIG and is reported, the old file
//   kept, instead of the signal ending the program without a word;
// - the heap keeps some of its freed top: SEP's background takes and frees a histogram for every
//   mesh, a mesh row at a time, and with glibc's default each row's top went back to the system
//   and came back as fresh pages, whose faults cost more than the histograms.
void tuneProcess();
