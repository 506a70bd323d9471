#include "analyzer/TForm3.h"

#include "analyzer/AboutIdentity.h"
#include "device/WSystem.h"
#include "ui/UiText.h"

#include <QLabel>

namespace {

QLabel *NewLabel(QWidget *parent, const char *name, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(10, top);
    label->resize(280, 18);
    return label;
}

} // namespace

TForm3::TForm3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    setFixedSize(300, 80);

    SoftwareVerLabel = NewLabel(this, "SoftwareVerLabel", 10);
    SoftwareVerLabel->setText(UiText::FromUtf8(WSystem::ProgramTitle));
    ModelLabel = NewLabel(this, "ModelLabel", 30);
    BIOS_Version = NewLabel(this, "BIOS_Version", 50);
}

void TForm3::Execute(CEzUsb *usb)
{
    FormShow(usb);
    exec();
}

void TForm3::FormShow(CEzUsb *usb)
{
    ModelLabel->setText(UiText::FromUtf8(AboutIdentity::NoModelText));
    BIOS_Version->setText(UiText::FromUtf8(AboutIdentity::NoBiosText));
    if (usb) {
        const AboutIdentity lines = AboutIdentity::Read(*usb);
        ModelLabel->setText(QString::fromLatin1(lines.ModelText));
        BIOS_Version->setText(QString::fromLatin1(lines.BiosText));
    }
    setWindowTitle(UiText::Get("About", "strAboutFormCaption", "About"));
}
