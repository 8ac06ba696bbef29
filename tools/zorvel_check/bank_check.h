#pragma once
// The checker's run over one or more question files: each file's own findings, then the repeats and give-aways
// across all of them, then, for several files, the count per topic, and the true share of each recurring wording.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zorvel_check/template_balance.h"
#include "ui/bitmap_font.h"

// Adds `path`, or the *.txt files of the folder `path` in name order.
void AddQuestionFiles(const std::string& path, std::vector<std::string>* files);

// Prints the findings and counts to `out`. 0 when nothing was found, 1 with findings, 2 when a file cannot be read.
// With `templates`, also prints how often each is true across all the files and reports the ones that lean.
int CheckBank(const std::vector<std::string>& files, const BitmapFont* font, std::FILE* out = stdout,
              const std::vector<StatementTemplate>& templates = {});
