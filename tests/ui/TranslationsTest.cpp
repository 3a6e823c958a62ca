#include "app/FileCommands.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
        texts << button->text();
    return texts;
}

// The save dialog, its overwrite question and their buttons, as Qt's own dialogs
// would otherwise say them in English.
TEST(Translations, TheSaveDialogAndItsOverwriteQuestionAreJapanese) {
    const std::unique_ptr<QTranslator> japanese(installQtTranslation());
    ASSERT_NE(japanese, nullptr) << "Qt's Japanese texts: Debian package qt6-translations-l10n";
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("run.KMO"));
    QFile(target).open(QIODevice::WriteOnly);
    QStringList dialogTexts;
    QStringList questionTexts;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialogTexts << dialog->windowTitle() << buttonTexts(dialog);
        dialog->selectFile(target);
        QTimer::singleShot(0, [&] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(question, nullptr);
            questionTexts << question->text() << buttonTexts(question);
            question->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
    });
    QtFileDialogs dialogs(nullptr);
    EXPECT_EQ(dialogs.askSavePath(FileCommands::kNameFilters), target);
    EXPECT_EQ(dialogTexts.join('|').toStdString(), "名前を付けて保存|保存(&S)|キャンセル");
    EXPECT_EQ(questionTexts.join('|').toStdString(), "run.KMO は既に存在します。\n置き換えますか?|はい(&Y)|いいえ(&N)");
}

}  // namespace
}  // namespace kinemo
