#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace zelmak {

class RunPane;

// The file dialogs of the converter; tests bring their own, so no test waits on a dialog.
class ConverterDialogs {
public:
    virtual ~ConverterDialogs() = default;
    // The text file to open, or nothing when the operator cancels.
    virtual std::optional<QString> openTextFile(QWidget* parent) = 0;
    // Where to save the result, or nothing when the operator cancels. The dialog asks before
    // it lets the operator pick an existing file, and adds ".txt" only to a name at which
    // nothing stands yet ("/dev/full" stays "/dev/full").
    virtual std::optional<QString> saveTextFile(QWidget* parent, const QString& proposed) = 0;
};

// The toolkit's own file dialogs, remembering the folder last used.
class FileConverterDialogs : public ConverterDialogs {
public:
    FileConverterDialogs();
    std::optional<QString> openTextFile(QWidget* parent) override;
    std::optional<QString> saveTextFile(QWidget* parent, const QString& proposed) override;

private:
    QString m_folder;
};

// The converter's window: ordinary text in the upper pane, the same text made keyable for the
// machine in the lower one. A file is read as UTF-8 when it is valid UTF-8, else as ISO 8859-1
// (the status line tells which); the result is written as 8-bit text. Files are read and written
// by the rules of the main window's "Loade CipherCode" and "Save CipherCode": only a regular file
// of at most 16 MiB is opened, without waiting for a pipe, and a result the machine could not
// load is not made. Both panes are the main window's text panes, which show a long unbroken run
// as quickly as a letter. A failure is told in the window's status line, never in a message box.
class ConverterWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConverterWindow(std::unique_ptr<ConverterDialogs> dialogs = nullptr,
                             QWidget* parent = nullptr);
    ~ConverterWindow() override;

    QString statusText() const;

public slots:
    void openFile();
    void convert();
    void saveResult();

private:
    void setStatus(const QString& text);
    void dropResult();

    std::unique_ptr<ConverterDialogs> m_dialogs;
    QPushButton* m_openButton;
    QPushButton* m_convertButton;
    QPushButton* m_saveButton;
    RunPane* m_inputPane;
    RunPane* m_resultPane;
    QLabel* m_statusLabel;
    QString m_openedPath;
};

} // namespace zelmak
