#pragma once
// What pdftotext reads of a PDF: its words in reading order and its page count.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace quenda::testing {

struct PdfText {
  std::vector<std::string> words;
  int pages = 0;
  bool Has(const std::string& word) const {
    for (const std::string& w : words)
      if (w == word) return true;
    return false;
  }
};

inline PdfText ReadPdfText(const std::string& pdf) {
  PdfText text;
  std::FILE* pipe = popen(("pdftotext -layout '" + pdf + "' - 2>/dev/null").c_str(), "r");
  if (!pipe) return text;
  std::string all;
  for (int c; (c = std::fgetc(pipe)) != EOF;) all += char(c);
  pclose(pipe);
  for (char c : all) text.pages += c == '\f';
  std::istringstream words(all);
  for (std::string word; words >> word;) text.words.push_back(word);
  return text;
}

}  // namespace quenda::testing
