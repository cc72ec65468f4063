// SPDX-License-Identifier: MIT
#include "meter/tick_text.h"

namespace kelvora {

std::string& TickText::restart() {
    m_utf8.clear();
    return m_utf8;
}

const QString& TickText::text() {
    // UTF-8 never takes fewer bytes than UTF-16 takes code units, so the
    // decoded text fits; resizing within the capacity keeps the buffer.
    m_text.resize(static_cast<qsizetype>(m_utf8.size()));
    QChar* const end = m_decoder.appendToBuffer(m_text.data(), m_utf8);
    m_text.truncate(end - m_text.constData());
    return m_text;
}

} // namespace kelvora
