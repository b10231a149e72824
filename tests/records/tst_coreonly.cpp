// The program of the core-only check: made of the records and haemoglobin libraries alone, as the command-line
// tools are, so that the shared libraries it would load are theirs. It is never run.
#include "BeerLambert.h"
#include "RecordLoader.h"

int main(int argc, char* argv[])
{
    RecordLoader loader;
    const bool opened = argc > 1 && loader.open(QString::fromLocal8Bit(argv[1]));
    return opened && BeerLambert::create(BeerLambert::Settings()) ? 0 : 1;
}
