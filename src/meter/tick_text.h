// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringDecoder>

#include <string>
#include <string_view>

namespace kelvora {

// A readout composed afresh on every tick in buffers kept from tick to tick.
// While the text fits them and no label still shares the last one, that is
// while the readout does not change, composing it allocates nothing.
class TickText {
public:
    // Empties the text and gives its UTF-8 form to append to.
    std::string& restart();

    // What was appended since restart().
    std::string_view utf8() const { return m_utf8; }

    // The same text as a label takes it; valid until the next restart().
    const QString& text();

private:
    std::string m_utf8;
    QString m_text;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};

} // namespace kelvora
