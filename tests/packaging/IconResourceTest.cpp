// The window icons compiled into the program: the same object the quorrin executable links.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QString>

namespace {

TEST(IconResource, EverySizeIsCompiledInUnderIconsAndDecodes) {
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const QString name = QStringLiteral("quorrin-%1.png").arg(size);

    QFile compiled(QStringLiteral(":/icons/") + name);
    ASSERT_TRUE(compiled.open(QIODevice::ReadOnly)) << compiled.fileName().toStdString();
    QFile packaged(QStringLiteral(QUORRIN_PACKAGING_DIR "/icons/") + name);
    ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(compiled.readAll(), packaged.readAll()) << "resource differs from packaging/icons";

    const QImage image(compiled.fileName());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), size);
    EXPECT_EQ(image.height(), size);
    EXPECT_TRUE(image.hasAlphaChannel());
  }
}

}  // namespace
