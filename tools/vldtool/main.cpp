// vldtool: developer and form-author commands, chosen by the first argument.

#include "CDocumentCommands.h"
#include "CEvalCommand.h"
#include "CValuesCommand.h"

#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

struct TCommand
{
    const char *Name;
    const char *Synopsis;
    int (*Run)(const QStringList &args);
};

const TCommand Commands[] = {
    {"eval", "eval EXPR            evaluate an expression and print its value", RunEvalCommand},
    {"check",
     "check FILE [PLUGINS] check the envelope, the digest, the payload and that every\n"
     "                         element kind is installed (in PLUGINS, else beside vldtool)",
     RunCheckCommand},
    {"dump",
     "dump [--full] FILE   print the object trees of a document or a plain payload; binary\n"
     "                         values over 4 KiB as size and digest unless --full",
     RunDumpCommand},
    {"unpack", "unpack FILE OUT      write the plain payload of a document", RunUnpackCommand},
    {"pack", "pack IN FILE         wrap a plain payload into a document", RunPackCommand},
    {"values",
     "values [--json] [--include-passwords] FILE...\n"
     "                         print the elements' values of filled documents as CSV (one\n"
     "                         row per document) or JSON; password boxes left out",
     RunValuesCommand},
};

void PrintUsage(std::FILE *out)
{
    std::fputs("usage: vldtool COMMAND [ARGS...]\n\ncommands:\n", out);
    for (const TCommand &command : Commands)
        std::fprintf(out, "  %s\n", command.Synopsis);
    std::fputs("\nexit status of the document commands: 0 fine, 2 usage, 3 file not readable or\n"
               "writable, 4 not a document, 5 digest mismatch, 6 payload damaged, 7 element\n"
               "kinds not installed\n",
               out);
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.isEmpty()) {
        PrintUsage(stderr);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        PrintUsage(stdout);
        return 0;
    }
    for (const TCommand &command : Commands) {
        if (name == QLatin1String(command.Name))
            return command.Run(args);
    }
    std::fprintf(stderr, "vldtool: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
