#pragma once

#include <string>

// Where the upload keeps its files: in the per-user local application-data folder (not roaming:
// queued images are large and belong to this machine), subfolder "Pixlance". Each is empty when the
// shell does not know that folder.
namespace UploadFolders {

// "...\Pixlance\Unsent\", the queue of captures not yet uploaded.
std::wstring unsent();
// "...\Pixlance\History.tsv", the record of finished uploads.
std::wstring historyFile();

} // namespace UploadFolders
