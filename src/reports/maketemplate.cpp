// ctaudit_make_template: writes the report template's flat OpenDocument source to standard
// output (script/make-template turns it into templete2.xls).

#include "reports/templatedocument.h"

#include <cstdio>

int main() {
    const QByteArray xml = report::templateFlatXml().toUtf8();
    return std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout) ==
                   static_cast<size_t>(xml.size())
               ? 0
               : 1;
}
