// Builds large documents with every kind, folders nested a few levels deep, for
// benchmarks and for tests that compare algorithms on many shapes.
#pragma once

#include "model/vcollection.h"

#include <cstdint>

struct DocumentShape {
    int nodes = 1000;     // nodes besides the root
    int folderEvery = 10; // about one node in this many is a folder
    int maxDepth = 6;     // folders nest at most this deep
    std::uint32_t seed = 1;
};

// Fills an empty collection; the same shape always gives the same document.
void GenerateDocument(VCollection& collection, const DocumentShape& shape);
