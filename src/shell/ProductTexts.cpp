#include "ProductTexts.h"

#include "TextCipher.h"

namespace qern {

namespace {

constexpr int ProductKey = 7;

constexpr const char* kProductTitle = "000353A0E46EFA7AE66487B84098D6071FB889A421C267AC1E143ED176A469E0";
constexpr const char* kProductShortName = "21202C495DF643A29E";
constexpr const char* kCompanyName = "0B0E5E9BE36FFB79E9699B55A03789BF47995DBA";
constexpr const char* kWebAddress = "1DD72E9A21CD6EAE9366FD24F919548B9B3CFD0057C163B7277C";
constexpr const char* kProductPhrase =
    "CE4ED17CCF6DB021C182F134F254914C1B69868DCB0126ED5953E0369BF52BA64ED80B57FD110434C81F7B9F67F571BA4687A469";

QString open(const char* hex) { return Decipher(QString::fromLatin1(hex), ProductKey); }

} // namespace

const ProductTexts& Product()
{
    static const ProductTexts texts{open(kProductTitle), open(kProductShortName), open(kCompanyName),
                                    open(kWebAddress), open(kProductPhrase)};
    return texts;
}

} // namespace qern
