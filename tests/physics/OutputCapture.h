#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Runs write(FILE*) against an in-memory file and returns what it wrote.
template <class Write> std::string captureOutput(Write write) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&buffer, &size);
    write(file);
    std::fclose(file);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}
