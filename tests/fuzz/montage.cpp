// The montage text as typed into the settings, read back from the ".ini" beside a record, which keeps it between
// its tags on lines of their own.
#include "FuzzSupport.h"
#include "RawRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString ini
        = QStringLiteral("<Smoothing>20</Smoothing>\r\n<Montage>\r\n") + text + QStringLiteral("\r\n</Montage>\r\n");
    const QMap<int, RawRecord::MontageCell> cells = RawRecord::parseMontage(ini);
    for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
        fuzz::check(cell.key() >= 1 && cell->row >= 0 && cell->column >= 0);
    return 0;
}
