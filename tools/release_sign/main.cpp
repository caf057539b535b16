// SPDX-License-Identifier: MIT
// Signs releases for the updater (Ed25519, libsodium). Development use:
//   vellora-release-sign keygen              prints a new secret seed and its public key (base64)
//   vellora-release-sign public KEYFILE      prints the public key of a secret seed file
//   vellora-release-sign sign KEYFILE FILE   prints the base64 signature of FILE's bytes
//   vellora-release-sign release KEYFILE VERSION ARCHIVE
//                                            prints the archive's sha256 and the base64 signature
//                                            of the release text (version and sha256 together)
#include "CReleaseManifest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QTextStream>

#include <sodium.h>

namespace {

bool readSeed(const QString& path, QByteArray* seed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The key file may carry comment lines starting with '#'.
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        *seed = QByteArray::fromBase64(text);
        return seed->size() == crypto_sign_SEEDBYTES;
    }
    return false;
}

void keyPair(const QByteArray& seed, QByteArray* publicKey, QByteArray* secretKey)
{
    publicKey->resize(crypto_sign_PUBLICKEYBYTES);
    secretKey->resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_seed_keypair(reinterpret_cast<unsigned char*>(publicKey->data()),
                             reinterpret_cast<unsigned char*>(secretKey->data()),
                             reinterpret_cast<const unsigned char*>(seed.constData()));
}

} // namespace

int main(int argc, char* argv[])
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (sodium_init() < 0) {
        err << "libsodium cannot start\n";
        return 1;
    }
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QByteArray seed(crypto_sign_SEEDBYTES, 0);
    QByteArray publicKey;
    QByteArray secretKey;
    if (command == QLatin1String("keygen") && argc == 2) {
        randombytes_buf(seed.data(), static_cast<size_t>(seed.size()));
        keyPair(seed, &publicKey, &secretKey);
        out << "secret " << seed.toBase64() << "\npublic " << publicKey.toBase64() << '\n';
        return 0;
    }
    const bool release = command == QLatin1String("release") && argc == 5;
    if ((command == QLatin1String("public") && argc == 3) ||
        (command == QLatin1String("sign") && argc == 4) || release) {
        if (!readSeed(QString::fromLocal8Bit(argv[2]), &seed)) {
            err << "cannot read a 32-byte base64 seed from " << argv[2] << '\n';
            return 1;
        }
        keyPair(seed, &publicKey, &secretKey);
        if (command == QLatin1String("public")) {
            out << publicKey.toBase64() << '\n';
            return 0;
        }
        const char* const fileName = release ? argv[4] : argv[3];
        QFile file(QString::fromLocal8Bit(fileName));
        if (!file.open(QIODevice::ReadOnly)) {
            err << "cannot read " << fileName << '\n';
            return 1;
        }
        QByteArray data = file.readAll();
        QString sha256;
        if (release) {
            bool isNumber = false;
            const int version = QByteArray(argv[3]).toInt(&isNumber);
            if (!isNumber || version <= 0) {
                err << "VERSION must be a whole number above 0: " << argv[3] << '\n';
                return 2;
            }
            sha256 = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
            data = CReleaseManifest::signedText(version, sha256);
        }
        QByteArray signature(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(data.constData()),
                             static_cast<unsigned long long>(data.size()),
                             reinterpret_cast<const unsigned char*>(secretKey.constData()));
        if (release)
            out << sha256 << ' ';
        out << signature.toBase64() << '\n';
        return 0;
    }
    err << "usage: vellora-release-sign keygen | public KEYFILE | sign KEYFILE FILE"
           " | release KEYFILE VERSION ARCHIVE\n";
    return 2;
}
