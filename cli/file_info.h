#pragma once
// `quenda info`: what a file holds, told by one printer per kind of file. A new kind is one
// printing function and one line in the table of file_info.cpp.

#include <span>
#include <string>
#include <string_view>

#include "cli/command.h"

namespace quenda::cli {

struct FileInfoPrinter {
  std::string_view extension;  // lower case, with the dot
  std::string_view kind;       // for the help text
  // Prints the file's facts to io.out, or the reader's refusal to io.err; the exit code.
  int (*print)(const std::string& path, CommandIo& io);
};

std::span<const FileInfoPrinter> FileInfoPrinters();

// The printer for a path's extension, matched without regard to case; null when none fits.
const FileInfoPrinter* FileInfoPrinterFor(std::string_view path);

// For a run-length compressed Targa file, which no reader here takes: how to write it
// uncompressed. Empty for any other file.
std::string CompressedTargaHint(const std::string& path);

int PrintDrawingScanInfo(const std::string& path, CommandIo& io);
int PrintColorSetInfo(const std::string& path, CommandIo& io);
int PrintTargaInfo(const std::string& path, CommandIo& io);
int PrintMovieInfo(const std::string& path, CommandIo& io);
int PrintEncodedMovieInfo(const std::string& path, CommandIo& io);
int PrintWaveInfo(const std::string& path, CommandIo& io);
int PrintCompositionInfo(const std::string& path, CommandIo& io);
int PrintSheetInfo(const std::string& path, CommandIo& io);
int PrintRegionFileInfo(const std::string& path, CommandIo& io);
int PrintPaintFileInfo(const std::string& path, CommandIo& io);

}  // namespace quenda::cli
