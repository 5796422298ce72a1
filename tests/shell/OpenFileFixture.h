#pragma once

// The open command driven through the real requester and message box.

#include "ShellTestSupport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <vector>

inline QString Unmnemonic(QString text) {
    return text.remove(u'&');
}

inline QPushButton* RequesterButton(QFileDialog* dialog, QDialogButtonBox::StandardButton which) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return buttons == nullptr ? nullptr : buttons->button(which);
}

inline std::vector<std::int8_t> Elements(const CursorList<std::int8_t>& list) {
    return {list.Elements().begin(), list.Elements().end()};
}

class OpenFileTest : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    QString Write(const QString& relativeName, const QByteArray& contents) {
        const QString path = folder.filePath(relativeName);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    // Types `typed` into the requester, opened in the test's folder, and presses
    // "Öffnen". Whether the requester stayed open and what an error box said,
    // if one opened, are kept; the box is confirmed.
    void OpenTyped(const QString& typed) {
        const auto requester = WhenModalOpens<QFileDialog>([this, typed](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            RequesterButton(dialog, QDialogButtonBox::Open)->click();
            requesterStayedOpen = dialog->isVisible();
            if (requesterStayedOpen) {
                dialog->reject();
            }
        });
        const auto errorBox = WhenModalOpens<QMessageBox>(
            [this](QMessageBox* box) {
                errorBoxSeen = true;
                errorTitle = box->windowTitle();
                errorText = box->text();
                errorReason = box->informativeText();
                errorIcon = box->icon();
                errorButtons = box->standardButtons();
                box->button(QMessageBox::Ok)->click();
            },
            Expect::Optional);
        Choose(MenuOpen);
    }

    void ExpectUnchanged(const QImage& picture, const Sequence& sequence) {
        EXPECT_EQ(Composed(), picture);
        EXPECT_EQ(State().sequence, sequence);
        EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz:");
        EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Ikosaeder");
        EXPECT_TRUE(Ticked(MenuIcosahedron));
        EXPECT_EQ(State().nodeList.Size(), 14u);
    }

    QTemporaryDir folder;
    bool requesterStayedOpen = false;
    bool errorBoxSeen = false;
    QString errorTitle;
    QString errorText;
    QString errorReason; // the line below the text
    QMessageBox::Icon errorIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons errorButtons;
};
