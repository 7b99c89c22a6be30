#pragma once

// The window's dialogs for a benchmark: every file dialog cancelled, errors printed, so that
// nothing waits for a click.

#include "ui/dialogs.h"

#include <QString>
#include <cstdio>

namespace zelmak::bench {

class SilentDialogs : public zelmak::Dialogs {
public:
    std::optional<std::string> runOpenDialog(std::string_view) override { return std::nullopt; }
    std::optional<std::string> runSaveDialog(std::string_view, std::string_view,
                                             const zelmak::ReplaceQuestion&) override {
        return std::nullopt;
    }
    bool confirmReplace(std::string_view) override { return false; }
    void errorBox(const QString& message) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(message));
    }
    void applicationErrorBox(const QString& message) override {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
    }
};

} // namespace zelmak::bench
