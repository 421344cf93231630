#pragma once

#include <QString>

namespace qern {

// The product's fixed texts. They are kept enciphered (key 7) in the program
// and deciphered once at start-up.
struct ProductTexts {
    QString ProductTitle;     // window caption, tray balloons
    QString ProductShortName; // "Q.E.R.N.": inside messages and the version line
    QString CompanyName;      // bottom panel, tray hint
    QString WebAddress;       // bottom panel link, default of the first user link
    QString ProductPhrase;    // ends the window caption
};

// Deciphered on first use.
const ProductTexts& Product();

} // namespace qern
