#pragma once

// A download fixture with certificates for 127.0.0.1 (made once per test suite),
// their authority trusted by the settings, and a folder of documents to serve.
#include "DownloadFixture.h"
#include "support/TestCertificates.h"

#include <QTemporaryDir>

class TlsDownloadFixture : public DownloadFixture {
protected:
    static void SetUpTestSuite() {
        certificates_ = new TestCertificates;
        made_ = certificates_->make();
    }
    static void TearDownTestSuite() {
        delete certificates_;
        certificates_ = nullptr;
    }

    void SetUp() override {
        DownloadFixture::SetUp();
        ASSERT_TRUE(made_) << certificates_->error().toStdString();
        ASSERT_TRUE(docs_.isValid());
        Settings.CAFile = certificates_->authorityFile();
    }

    // Puts SIZE pattern bytes under NAME in the documents and returns them.
    QByteArray publish(const QString& name, qint64 size, quint32 seed) {
        const QByteArray data = patternBytes(size, seed);
        EXPECT_TRUE(writeWholeFile(docs_.filePath(name), data));
        return data;
    }

    static inline TestCertificates* certificates_ = nullptr;
    static inline bool made_ = false;
    QTemporaryDir docs_;
};
