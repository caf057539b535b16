// SPDX-License-Identifier: MIT
#include "CContentDigest.h"

#include <QIODevice>

#ifdef VELLORA_HAVE_OPENSSL
#include <openssl/evp.h>

#include <memory>
#else
#include <QCryptographicHash>
#endif

namespace {
const qint64 ChunkBytes = 1024 * 1024;

#ifdef VELLORA_HAVE_OPENSSL
using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

class Digest
{
public:
    Digest() : m_context(EVP_MD_CTX_new(), &EVP_MD_CTX_free)
    {
        m_ok = m_context && EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) == 1;
    }
    void add(const char* data, qint64 length)
    {
        m_ok = m_ok && EVP_DigestUpdate(m_context.get(), data, size_t(length)) == 1;
    }
    QByteArray hex()
    {
        unsigned char result[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!m_ok || EVP_DigestFinal_ex(m_context.get(), result, &length) != 1)
            return {};
        return QByteArray(reinterpret_cast<const char*>(result), int(length)).toHex();
    }

private:
    Context m_context;
    bool m_ok = false;
};
#else
class Digest
{
public:
    void add(const char* data, qint64 length) { m_hash.addData(data, int(length)); }
    QByteArray hex() { return m_hash.result().toHex(); }

private:
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};
#endif
} // namespace

QByteArray CContentDigest::sha256Hex(QIODevice* device)
{
    if (!device || !device->isReadable())
        return {};
    Digest digest;
    QByteArray chunk(int(ChunkBytes), Qt::Uninitialized);
    for (;;) {
        const qint64 read = device->read(chunk.data(), ChunkBytes);
        if (read < 0)
            return {};
        if (read == 0)
            break;
        digest.add(chunk.constData(), read);
    }
    return digest.hex();
}

QByteArray CContentDigest::sha256Hex(const QByteArray& bytes)
{
    Digest digest;
    digest.add(bytes.constData(), bytes.size());
    return digest.hex();
}
