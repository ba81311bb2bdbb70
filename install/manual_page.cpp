#include "install/manual_page.h"

#include <sstream>
#include <string_view>

namespace quenda::install {
namespace {

// Text as roff shows it unfilled: backslashes and hyphens escaped, and a line that would start
// with a control character ('.' or '\'') kept as text.
std::string RoffVerbatim(std::string_view text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    lineStart = c == '\n';
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";  // a plain '-' may print as a hyphen, which a copied option would not match
    else
      out += c;
  }
  return out;
}

// An unfilled block of text, ending with its own line end so the next request starts a line.
std::string Unfilled(std::string_view text) {
  std::string block = ".nf\n" + RoffVerbatim(text);
  if (!text.empty() && text.back() != '\n') block += '\n';
  return block + ".fi\n";
}

}  // namespace

std::string ManualPage(const HelpTexts& texts) {
  // The overview's second line says what the tool is for.
  std::istringstream overview(texts.overview);
  std::string purpose;
  std::getline(overview, purpose);
  std::getline(overview, purpose);
  if (!purpose.empty() && purpose.back() == '.') purpose.pop_back();

  std::ostringstream page;
  page << ".TH QUENDA 1 \"\" \"" << RoffVerbatim(texts.version) << "\" \"Quenda\"\n"
       << ".SH NAME\nquenda \\- " << RoffVerbatim(purpose) << "\n.SH DESCRIPTION\n"
       << Unfilled(texts.overview) << ".SH COMMANDS\n";
  for (const CommandHelp& command : texts.commands)
    page << ".SS " << command.name << "\n" << Unfilled(command.usage);
  return page.str();
}

}  // namespace quenda::install
