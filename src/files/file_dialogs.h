#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zelmak {

// Makes the question to ask before a save dialog returns an existing file, from its path.
using ReplaceQuestion = std::function<std::string(const std::string& path)>;

// The file dialogs, as the file handlers need them. A filter is pairs of description and pattern
// joined by "|" ("Textdatei (*.txt)|*.txt"). Paths are the file system's bytes.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // The chosen path, or nothing when the operator cancels.
    virtual std::optional<std::string> runOpenDialog(std::string_view filter) = 0;
    // With a question, the save dialog asks it (Yes or No) before it returns an existing file, and
    // on No the operator chooses again. Without one the caller asks, because it will write under
    // another name than the one chosen.
    virtual std::optional<std::string> runSaveDialog(std::string_view filter,
                                                     std::string_view proposedName,
                                                     const ReplaceQuestion& question) = 0;
    // Asks the operator whether the existing file `path` may be replaced.
    virtual bool confirmReplace(std::string_view path) = 0;
};

} // namespace zelmak
