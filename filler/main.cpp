#include "CFillerMainForm.h"
#include "VeloraApp.h"

int main(int argc, char **argv)
{
    return RunVeloraProgram(argc, argv, QStringLiteral("Velora Filler"), TVeloraProgram::Filler,
                            [] { return new TFillerMainForm; });
}
