// The public test songs beside the project.
#pragma once

#include <string>
#include <vector>

// Every .mid and .kar file under dir, at any depth.
std::vector<std::string> corpus_files(const std::string& dir);
