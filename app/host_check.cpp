#include "app/host_check.h"

#include "server/service_request.h"

#include <QString>
#include <cstdio>

int RunHostCheck(int argc, char** argv)
{
    if (argc != 3 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: %s --check-host HOST\n", argv[0]);
        return 2;
    }
    const QString reply = SendServiceRequest(QString::fromLocal8Bit(argv[2]),
                                             QString::fromLatin1(kHealthObject), QString(),
                                             QStringLiteral("0"));
    std::printf("%s\n", reply.toLocal8Bit().constData());
    return reply == QLatin1String(kHealthReply) ? 0 : 1;
}
