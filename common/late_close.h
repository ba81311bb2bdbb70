#pragma once
// Files closed on a thread of their own. The last close of a file that has been replaced frees
// its pages and its blocks on the disk, and for a rendered frame that takes about as long as
// writing the new one; nobody needs to wait for it, so the writer that replaced it hands the
// old file over here instead of letting the rename free it on the writer's path.

namespace quenda {

// Takes `fd` and closes it soon, on the closing thread (started when first needed). Once the
// process is ending it closes at once.
void CloseLater(int fd);

// Returns once every file handed to CloseLater before the call is closed.
void WaitForLateCloses();

}  // namespace quenda
