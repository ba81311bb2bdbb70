#pragma once
// The subcommands of the quenda tool, one file each.

#include "cli/command.h"

namespace quenda::cli {

const Command& SampleCommand();
const Command& InfoCommand();
const Command& AnalyzeCommand();
const Command& PaintCommand();
const Command& ColorsCommand();
const Command& AutopaintCommand();
const Command& SheetCommand();
const Command& RenderCommand();
const Command& FlipbookCommand();
const Command& ToneCommand();
const Command& CompCommand();
const Command& ComposeCommand();
const Command& PreviewCommand();
const Command& MaskCommand();
const Command& ScanCommand();
const Command& ExportCommand();
const Command& ImportCommand();
const Command& FarmCommand();

}  // namespace quenda::cli
