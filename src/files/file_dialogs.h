#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelmak {

// The file dialogs, as the file handlers need them. A filter is pairs of description and pattern
// joined by "|" ("Textdatei (*.txt)|*.txt"). Paths are the file system's bytes.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // The chosen path, or nothing when the operator cancels.
    virtual std::optional<std::string> runOpenDialog(std::string_view filter) = 0;
    // The save dialog asks before replacing an existing file, unless the caller asks itself
    // because it will write under another name than the one chosen (askBeforeReplacing false).
    virtual std::optional<std::string> runSaveDialog(std::string_view filter,
                                                     std::string_view proposedName,
                                                     bool askBeforeReplacing) = 0;
    // Asks the operator whether the existing file `path` may be replaced.
    virtual bool confirmReplace(std::string_view path) = 0;
};

} // namespace zelmak
