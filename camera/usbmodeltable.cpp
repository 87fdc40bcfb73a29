#include "usbmodeltable.h"

#include <QRegularExpression>
#include <iterator>

namespace {

const UsbModelEntry kUsbModels[] = {
    {0x0201, "Cm01UCamera", "cm01u", false}, {0x0202, "Cm02UCamera", "cm02u", false},
    {0x0203, "Cm03UCamera", "cm03", false},  {0x0204, "Cm04UCamera", "cm04", false},
    {0x0205, "Cm05UCamera", "cm05u", false}, {0x0206, "Cm06UCamera", "cm06u", false},
    {0x0207, "Cm07Camera", nullptr, false},  {0x0208, "Cm08UCamera", "cm08", false},
    {0x0209, "Cm09UCamera", "cm09", false},  {0x0210, "Cm10UCamera", nullptr, false},
    {0x0211, "Cm11UCamera", nullptr, false}, {0x0212, "Cm12UCamera", nullptr, false},
    {0x0215, "Cm15UCamera", "cm15", false},  {0x0216, "Cm16UCamera", "cm16", false},
    {0x0217, "Cm17UCamera", nullptr, false}, {0x0218, "Cm18UCamera", nullptr, false},
    {0x0219, "Cm19UCamera", "cm19", false},  {0x0220, "Cm20UCamera", "cm20", false},
    {0x0221, "Cm21UCamera", nullptr, false}, {0x0222, "Cm22UCamera", "cm22", false},
    {0x0280, "Cm23Camera", "cm23", true},    {0x0281, "Cm24Camera", "cm24", true},
    {0x0282, "Cm25Camera", "cm25", true},    {0x0283, "Cm26Camera", "cm26", true},
    {0x0284, "Cm27Camera", "cm27", true},    {0x0285, "Cm28Camera", "cm28", true},
    {0x0286, "Cm29Camera", "cm29", true},    {0x0287, "Cm30Camera", "cm30", true},
    {0x0288, "Cm31Camera", "cm31", true},    {0x0289, "Cm32Camera", "cm32", true},
    {0x028a, "Cm33Camera", "cm33", true},    {0x028b, "Cm34Camera", nullptr, true},
};

} // namespace

const UsbModelEntry *findUsbModel(int productId)
{
    for (const UsbModelEntry &entry : kUsbModels) {
        if (entry.productId == productId)
            return &entry;
    }
    return nullptr;
}

int productIdFromDevicePath(const QString &path)
{
    static const QRegularExpression pid(QStringLiteral("pid_([0-9a-fA-F]{4})"));
    const QRegularExpressionMatch match = pid.match(path);
    return match.hasMatch() ? match.captured(1).toInt(nullptr, 16) : 0;
}
