#pragma once
#include <QStringList>

namespace bxw::cli {

// Each command takes the arguments after its own name and answers the process exit code.
int RunCheck(const QStringList& args);  // bxw check FILE
int RunXml(const QStringList& args);    // bxw xml FILE [-o OUT]
// bxw layout FILE [--window NAME] [--size WxH] [--strict]
int RunLayout(const QStringList& args);
// bxw render FILE [--window NAME] [--size WxH] [--strict] -o OUT.png
int RunRender(const QStringList& args);
// bxw hit FILE [--window NAME] [--size WxH] [--strict] --at X,Y
int RunHit(const QStringList& args);
int RunCode(const QStringList& args);  // bxw code FILE [-o OUT.pb] [--dpi-patch] [--no-loop]

}  // namespace bxw::cli
