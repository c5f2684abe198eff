#include "CDesignerMainForm.h"
#include "CWebExportCommand.h"
#include "VeloraApp.h"

int main(int argc, char **argv)
{
    return RunVeloraProgram(
        argc, argv, QStringLiteral("Velora Designer"), TVeloraProgram::Designer,
        [] { return new TDesignerMainForm; }, WebExportCommands());
}
