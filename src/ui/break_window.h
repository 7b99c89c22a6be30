#pragma once

#include "analysis/candidates.h"
#include "analysis/language_model.h"
#include "analysis/work.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zelmak {

class BreakJob;
class Dialogs;
class Session;

// "Break a message…": a window beside the main window. It takes a message (the loaded text, the
// output pane or a file), a crib and what is known of the setting, runs the crib search (or the
// start search with the accepted card) on all cores but one, shows the candidates best first
// with the message each reveals, completes a card, and puts a candidate into the main window's
// selectors through the session, as "Check Cipher" would take them.
class BreakWindow : public QWidget {
    Q_OBJECT

public:
    enum class Source { Loaded, Output, File };

    BreakWindow(Session& session, Dialogs& dialogs, QWidget* parent);
    ~BreakWindow() override;

    // Opens (or raises) the window.
    void open();

    const std::vector<analysis::Candidate>& candidates() const { return m_candidates; }
    bool searching() const;
    // The message the last search ran on.
    const std::vector<analysis::Symbol>& message() const { return m_message; }

public slots:
    void startSearch();
    void cancelSearch();
    void completeCard();
    void useSetting();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void chooseSource(int index);
    void clearErrors();
    void refuse(QLabel* next, const QString& why);
    std::optional<std::vector<analysis::Symbol>> readSource();
    void running(bool on, const QString& what);
    void showProgress(const analysis::Progress& p);
    void searchEnded(const analysis::SearchResult& result, const QString& error);
    void completionEnded(const analysis::SearchResult& result, const QString& error);
    void showOutcome(bool stopped);
    void showCandidates();
    void showSelected();
    const analysis::Candidate* selected() const;

    Session& m_session;
    Dialogs& m_dialogs;
    analysis::LanguageModel m_model;
    std::unique_ptr<BreakJob> m_job;
    std::vector<analysis::Symbol> m_message;
    std::vector<analysis::Candidate> m_candidates;
    std::string m_fileText; // a message read from a file
    int m_completing = -1;  // the row whose card is being completed
    bool m_placed = false;
    QString m_searchSummary; // what the last search found, kept while a card is completed

    QComboBox* m_source = nullptr;
    QLineEdit* m_crib = nullptr;
    QLineEdit* m_offset = nullptr;
    QLineEdit* m_order = nullptr;
    QCheckBox* m_acceptedCard = nullptr;
    QPushButton* m_start = nullptr;
    QLabel* m_sourceError = nullptr;
    QLabel* m_cribError = nullptr;
    QLabel* m_offsetError = nullptr;
    QLabel* m_orderError = nullptr;
    QLabel* m_cardError = nullptr;
    QLabel* m_estimate = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_speed = nullptr;
    QPushButton* m_cancel = nullptr;
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_complete = nullptr;
    QPushButton* m_use = nullptr;
};

} // namespace zelmak
