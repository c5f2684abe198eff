#include "CEvalCommand.h"

#include "CStExpression.h"

#include <charconv>
#include <cstdio>

int RunEvalCommand(const QStringList &args)
{
    if (args.size() != 1) {
        std::fputs("usage: vldtool eval EXPR\n", stderr);
        return 2;
    }
    try {
        const long double value = AnalyzeExpr(args.first());
        // to_chars rather than printf, so that the C locale's separator never leaks in.
        char buffer[64];
        const auto result
            = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 18);
        std::fwrite(buffer, 1, size_t(result.ptr - buffer), stdout);
        std::fputc('\n', stdout);
        return 0;
    } catch (const EStExprError &e) {
        std::fprintf(stderr, "error %d at %d: %s\n", e.ErrorCode(), e.ErrorColumn(),
                     e.Message().toLocal8Bit().constData());
        return 1;
    }
}
