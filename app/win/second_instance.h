// A second start of the program hands its command line to the running instance.
#pragma once

#include <string>

namespace qmz {

// Looks for a running instance in the running object table and calls its
// DoFilesAndFolders with `commandLine`. True when this process should now exit (the call
// was made, or failed with a message); false when no instance was found or none could be
// reached, so that this process starts as a full instance.
bool ForwardToRunningInstance(const std::wstring& commandLine,
                              const std::wstring& errorMessagePrefix,
                              const std::wstring& applicationTitle);

}  // namespace qmz
