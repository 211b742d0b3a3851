#include "platform/profile_file.h"
#include "settings/form_placement.h"
#include "settings/property_text.h"

#include <QMetaProperty>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace mx::test {

class Kinds : public QObject {
    Q_OBJECT
    Q_PROPERTY(Shape shape MEMBER shape)
    Q_PROPERTY(bool Flat MEMBER flat)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(QChar Accel MEMBER accel)
    Q_PROPERTY(uint Mask MEMBER mask)
    Q_PROPERTY(double Ratio MEMBER ratio)
public:
    enum Shape { stRectangle, stEllipse };
    Q_ENUM(Shape)
    Shape shape = stRectangle;
    bool flat = false;
    QString caption;
    QChar accel;
    uint mask = 0;
    double ratio = 0.5;
};

namespace {

QMetaProperty prop(const QObject& o, const char* name) { return *FindProperty(&o, QString::fromLatin1(name)); }

TEST(PropertyText, KindsAndTheirTexts) {
    Kinds k;
    k.shape = Kinds::stEllipse;
    k.flat = true;
    k.caption = "Text";
    k.accel = u'&';
    k.mask = 0xFFFFFFFEu;
    EXPECT_EQ(PropertyText(&k, prop(k, "SHAPE")), "stEllipse");
    EXPECT_EQ(PropertyText(&k, prop(k, "flat")), "True");
    EXPECT_EQ(PropertyText(&k, prop(k, "caption")), "Text");
    EXPECT_EQ(PropertyText(&k, prop(k, "accel")), "&");
    EXPECT_EQ(PropertyText(&k, prop(k, "mask")), "-2");
    EXPECT_FALSE(PropertyText(&k, prop(k, "ratio")).has_value());
    EXPECT_FALSE(FindProperty(&k, "missing").has_value());

    SetPropertyFromText(&k, prop(k, "shape"), "STRECTANGLE");
    EXPECT_EQ(k.shape, Kinds::stRectangle);
    SetPropertyFromText(&k, prop(k, "shape"), "stTriangle"); // unknown: unchanged
    EXPECT_EQ(k.shape, Kinds::stRectangle);
    SetPropertyFromText(&k, prop(k, "flat"), "false");
    EXPECT_FALSE(k.flat);
    SetPropertyFromText(&k, prop(k, "flat"), "maybe");
    EXPECT_FALSE(k.flat);
    SetPropertyFromText(&k, prop(k, "accel"), "xyz");
    EXPECT_EQ(k.accel, u'x');
    SetPropertyFromText(&k, prop(k, "mask"), "$10");
    EXPECT_EQ(k.mask, 16u);
    SetPropertyFromText(&k, prop(k, "mask"), "ten");
    EXPECT_EQ(k.mask, 0u);
}

TEST(PropertyText, ComponentsAreFoundDeepAndWithoutCase) {
    QWidget form;
    auto* panel = new QWidget(&form);
    auto* deep = new QObject(panel);
    deep->setObjectName("TavelColorComboBox1");
    EXPECT_EQ(FindComponent(&form, "tavelcolorcombobox1"), deep);
    EXPECT_EQ(FindComponent(&form, "other"), nullptr);
    EXPECT_EQ(FindComponent(&form, ""), nullptr);
}

TEST(PropertyText, QuotedTextsSurviveTheFile) {
    QTemporaryDir dir;
    QWidget form;
    TFormPlacement store(&form);
    store.IniFileName = dir.filePath("q.INI");
    store.IniSection = "S";
    for (const QString& text :
         {QString("\"both\""), QString("'single'"), QString("\""), QString("\"open"), QString("plain")}) {
        store.WriteString("K", text);
        EXPECT_EQ(store.ReadString("K", "d"), text);
    }
    store.WriteString("K", "'x'");
    EXPECT_EQ(TIniFile(dir.filePath("q.INI")).ReadString("S", "K", "d"), "'x'");
    QFile f(dir.filePath("q.INI"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[S]\nK=\"'x'\"\n"));
}

} // namespace
} // namespace mx::test

#include "test_property_text.moc"
