#include "ui/Translations.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

// The title of Qt's save dialog, its overwrite question and its answer, as the
// dialogs ask for them: untranslated, or in another language, they stay English.
TEST(Translations, TheSaveDialogAndItsOverwriteQuestionAreJapanese) {
    const std::unique_ptr<QTranslator> japanese(installQtTranslation());
    ASSERT_NE(japanese, nullptr) << "Qt's Japanese texts: Debian package qt6-translations-l10n";
    const struct {
        const char* context;
        const char* source;
        const char* japanese;
    } texts[] = {
        {"QFileDialog", "Save As", "名前を付けて保存"},
        {"QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 は既に存在します。\n置き換えますか?"},
        {"QPlatformTheme", "&Yes", "はい(&Y)"},
    };
    for (const auto& text : texts)
        EXPECT_EQ(QCoreApplication::translate(text.context, text.source).toStdString(), text.japanese) << text.source;
}

}  // namespace
}  // namespace kinemo
