#include "ui/AboutDialog.h"

#include "core/Version.h"
#include "ui/Fonts.h"
#include "ui/WindowPlacement.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <utility>

namespace kinemo {

namespace {

const QColor kBackground(0, 192, 192);
const QColor kDescriptionColour(255, 255, 128);
const QColor kSeparatorGrey(128, 128, 128);

const char* const kDescription =
    "ニンテンドーWiiのリモコンに搭載されている3軸加速度センサの値を、Bluetoothを使ってパソコンに取り込むためのソフトウ"
    "エアです。このソフトを使うには、Wiiリモコン・Bluetooth（内蔵またはUSBアダプタ）と、Linux（X11またはWaylandのデスク"
    "トップ）が動いているパソコンが必要です。";

// Credits of the program's own: its developers and what it is built on.
const char* const kCredit = "Kinemo開発者 2026";
const char* const kThanks =
    "このソフトウエアはKinemoの開発者たちが作りました。\n"
    "次のライブラリとフォントを使っています。\n"
    "　Qt 6（The Qt Company、LGPL v3）\n"
    "　IPA Pゴシック（IPAフォントライセンス）\n"
    "それぞれの作者と貢献者の皆さんに感謝します。";

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place, const QString& text, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColour(label, QPalette::WindowText, colour);
    return label;
}

// A line drawn as a thin filled strip.
void makeLine(QWidget* parent, const char* name, const QRect& place, const QColor& colour) {
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(place);
    line->setAutoFillBackground(true);
    setColour(line, QPalette::Window, colour);
}

}  // namespace

AboutDialog::AboutDialog()
    // A tool window stays out of the task bar and has neither a minimise nor a maximise box.
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Tool windows do not keep the program alive by default; this one must, so that
    // closing the main window leaves it open.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(382, 362);
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, kBackground);
    setFont(kinemoFont(9));

    titleLabel_ = makeLabel(this, "titleLabel", {30, 8, 315, 40}, QString(), Qt::white);
    titleLabel_->setFont(kinemoFont(24, true));
    titleLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    versionLabel_ = makeLabel(this, "versionLabel", {208, 48, 171, 15}, QString(), Qt::white);
    auto* description =
        makeLabel(this, "descriptionLabel", {32, 75, 315, 78}, QString::fromUtf8(kDescription), kDescriptionColour);
    description->setWordWrap(true);
    makeLabel(this, "creditLabel", {232, 144, 121, 17}, QString::fromUtf8(kCredit), Qt::white);
    makeLine(this, "separatorShadow", {6, 163, 372, 1}, kSeparatorGrey);
    makeLine(this, "separatorHighlight", {7, 164, 371, 2}, Qt::white);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(136, 176, 92, 23);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &AboutDialog::close);

    auto* thanks = makeLabel(this, "thanksLabel", {24, 224, 329, 119}, QString::fromUtf8(kThanks), Qt::white);
    thanks->setWordWrap(true);

    // Each load is a new window, so every load centres it afresh.
    centreOnScreen(*this);
    centreHorizontally(*okButton_);
    centreHorizontally(*titleLabel_);
    setWindowTitle(QString::fromUtf8(kAppTitle) + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    versionLabel_->setText(QStringLiteral("Version ") + QString::fromStdString(versionText()));
    titleLabel_->setText(QString::fromUtf8(kAppTitle));
}

}  // namespace kinemo
