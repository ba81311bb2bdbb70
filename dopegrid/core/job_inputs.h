#pragma once
// The files a stretch of the sheet reads, checked before a render or flipbook writes anything,
// so that a run never reports success for frames that leave a drawing out.

#include <string>
#include <string_view>

#include "common/result.h"
#include "dopegrid/core/frame_compositor.h"

namespace quenda {

// The drawing scans of the job's used cells on its levels, frames job.firstFrame..lastFrame
// (their headers place every picture of the job), and for painted jobs the colour set, region
// file and paint file of the drawings on frames writeFirst..writeLast (from 0), the frames
// this run composites. Ok when all open (a drawing's header must read as well); otherwise an
// error with one line per file, each once in the order first used: "missing: PATH" or
// "unreadable: PATH". Cells naming no drawing of the Picture Holder are left to the compositor.
Status CheckJobInputs(const SheetSource& source, const CompositeJob& job, int writeFirst,
                      int writeLast);

// The sheet with every cell CheckJobInputs finds a file missing for made empty, for a run that
// goes on without them.
CSheetGrid WithoutMissingInputs(const SheetSource& source, const CompositeJob& job, int writeFirst,
                                int writeLast);

// The question before a job that would go on without the files `missing` names: the list,
// then `goOn` ("Render without them?").
std::string MissingInputsQuestion(const Status& missing, std::string_view goOn);

// Ok when the wave file is there and opens; otherwise "missing: PATH" or "unreadable: PATH". A
// file that is no wave file is refused by the loader with its own message.
Status CheckSoundInput(const std::string& path);

}  // namespace quenda
