#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeView;

// The folder picker of the settings dialog: a folder tree, the file system the
// folder lies on, and the full path of the selected folder in txtPath. OK keeps
// that path in ResultPath; Cancel leaves ResultPath as it was.
class frmDir : public QDialog {
    Q_OBJECT
public:
    explicit frmDir(QWidget* parent = nullptr);

    QString ResultPath;

    // Selects a folder in the tree, as a click on it would.
    void SelectFolder(const QString& path);
    // Creates a folder under the selected one and selects it; false when that fails.
    bool NewFolder();

    QTreeView* lstDir;
    QComboBox* lstDrive;
    QLineEdit* txtPath;
    QToolBar* tbrDir;
    QPushButton* Command1;
    QPushButton* Command2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void lstDir_Change();
    void lstDrive_Change();
    void Command1_Click();

    QFileSystemModel* model_;
    bool loaded_ = false;
};
