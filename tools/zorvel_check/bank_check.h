#pragma once
// The checker's run over one or more question files: each file's own findings, then the repeats and give-aways
// across all of them, then, for several files, the count per topic.
#include <cstdio>
#include <string>
#include <vector>

#include "ui/bitmap_font.h"

// Adds `path`, or the *.txt files of the folder `path` in name order.
void AddQuestionFiles(const std::string& path, std::vector<std::string>* files);

// Prints the findings and counts to `out`. 0 when nothing was found, 1 with findings, 2 when a file cannot be read.
int CheckBank(const std::vector<std::string>& files, const BitmapFont* font, std::FILE* out = stdout);
