// The montage text: as typed into the settings, and as the ".ini" beside a record keeps it.
#include "FuzzSupport.h"
#include "RawRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QMap<int, RawRecord::MontageCell> cells = RawRecord::parseMontage(text);
    for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
        fuzz::check(cell.key() >= 1 && cell->row >= 0 && cell->column >= 0);
    return 0;
}
