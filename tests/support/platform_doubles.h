#pragma once

// Doubles of the platform seams: they show and start nothing and remember what they were asked.

#include "platform/help_viewer.h"
#include "platform/program_launcher.h"

#include <string>
#include <vector>

class QWidget;

namespace zelmak {

class RecordingHelpViewer : public HelpViewer {
public:
    struct Request {
        QWidget* owner;
        std::string helpFile;
    };
    void showContents(QWidget* owner, const std::string& helpFile) override {
        m_requests.push_back({owner, helpFile});
    }
    const std::vector<Request>& requests() const { return m_requests; }

private:
    std::vector<Request> m_requests;
};

class RecordingProgramLauncher : public ProgramLauncher {
public:
    void start(const std::string& commandLine) override { m_started.push_back(commandLine); }
    const std::vector<std::string>& started() const { return m_started; }

private:
    std::vector<std::string> m_started;
};

} // namespace zelmak
