// The composer's dialogs on their own: presets, refusals with their messages, and the labels and
// ranges of the effect sliders.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <tuple>

#include "common/scripted_prompt.h"
#include "composer/app/composer_dialogs.h"

namespace quenda {
namespace {

TEST(NewMovieDialog, PresetsFillTheFieldsAndCustomFreesThem) {
  ScriptedPrompt prompt;
  NewMovieDialog d(prompt);
  EXPECT_EQ(d.presets()->currentText(), QStringLiteral("PAL"));
  EXPECT_TRUE(d.field("width")->isReadOnly());
  // Preset, width, height, aspect combo, aspect, rate.
  const std::tuple<const char*, int, int, const char*, float, int> presets[] = {
      {"HDTV 2", 1920, 1080, "Square", 1.0f, 30},
      {"D1 NTSC", 720, 486, "D1 NTSC", 0.9f, 30},
      {"D1 PAL", 720, 576, "D1 PAL", 1.067f, 25},
      {"Motion Picture", 2048, 1536, "Custom", 2.0f, 24},
  };
  for (auto [name, width, height, combo, aspect, rate] : presets) {
    const int index = d.presets()->findText(QString::fromLatin1(name));
    d.presets()->setCurrentIndex(index);
    emit d.presets()->activated(index);
    const NewMovieValues v = d.values();
    EXPECT_EQ(std::tie(v.width, v.height, v.frameRate), std::tie(width, height, rate)) << name;
    EXPECT_FLOAT_EQ(v.pixelAspect, aspect) << name;
    EXPECT_EQ(d.aspectChoice()->currentText(), QString::fromLatin1(combo)) << name;
  }
  const int custom = d.presets()->findText(QStringLiteral("Custom"));
  d.presets()->setCurrentIndex(custom);
  emit d.presets()->activated(custom);
  EXPECT_FALSE(d.field("width")->isReadOnly());
  EXPECT_EQ(d.values().width, 2048);  // Custom changes nothing
  d.field("height")->setText(QStringLiteral("9"));
  d.accept();
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Please enter a value between 16 and 2500 for Height."});
}

TEST(MovieSettingsDialog, RefusesBadValuesAndStaysOpen) {
  OpenMovieValues values;
  // Field, text, message.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"frames", "0", "Please enter a value between 1 and 5000 for Frames."},
      {"frames", "many", "Please enter a value between 1 and 5000 for Frames."},
      {"frames", "5001", "Please enter a value between 1 and 5000 for Frames."},
      {"actionSafe", "0.5", "Please enter a value between 1 and 50 for Action Safe."},
      {"titleSafe", "51", "Please enter a value between 1 and 50 for Title Safe."},
      {"dpi", "5", "Please enter a value between 10 and 1200 for Dot Per Inch."},
  };
  for (auto [field, text, message] : cases) {
    ScriptedPrompt prompt;
    MovieSettingsDialog d(prompt, values);
    d.show();
    d.field(field)->setText(QString::fromLatin1(text));
    d.accept();
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{message}) << field << " " << text;
    EXPECT_TRUE(d.isVisible()) << field;
  }
}

TEST(KeyEditDialog, EveryEffectShowsItsParametersOnSliders) {
  // Kind, label A, label B, lowest, highest A, highest B.
  const std::tuple<ClipKind, const char*, const char*, int, int, int> kinds[] = {
      {ClipKind::Blur, "BlurX", "BlurY", 0, 15, 15},
      {ClipKind::Transparency, "Transp", "", 0, 100, 0},
      {ClipKind::BrightnessContrast, "Brightness", "Contrast", -127, 127, 127},
      {ClipKind::HueSaturation, "Hue", "Saturation", -127, 127, 127},
      {ClipKind::DirectionalBlur, "Blur", "Direction", 0, 15, 360},
      {ClipKind::Underwater, "Speed", "Wave Strength", 0, 100, 50},
  };
  ScriptedPrompt prompt;
  KeyEditValues values;
  values.kind = KeyKind::Effect;
  values.a = 10;
  for (auto [kind, a, b, low, highA, highB] : kinds) {
    KeyEditDialog d(prompt, values, kind, 30, 0, 100);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Effect Edit Key"));
    EXPECT_EQ(d.label("valueA")->text(), QString::fromLatin1(a));
    EXPECT_EQ(d.label("valueB")->text(), QString::fromLatin1(b));
    QSlider* sliderA = d.slider("valueASlider");
    QSlider* sliderB = d.slider("valueBSlider");
    EXPECT_EQ(std::tie(low, highA, highB),
              std::make_tuple(sliderA->minimum(), sliderA->maximum(), sliderB->maximum()))
        << a;
    EXPECT_EQ(sliderB->minimum(), low) << a;
  }
}

TEST(KeyEditDialog, PositionsInInchesAndRotationsInTurnsGoBackAsStored) {
  ScriptedPrompt prompt;
  KeyEditValues position{KeyKind::Position, 4, 150, 50, 1, 2, 3, 4};
  KeyEditDialog p(prompt, position, ClipKind::Image, 30, int(Units::Inch), 100);
  EXPECT_EQ(p.label("valueA")->text(), QStringLiteral("PosX (inch)"));
  EXPECT_EQ(p.field("valueA")->text(), QStringLiteral("1.5"));
  p.field("valueB")->setText(QStringLiteral("2"));
  p.accept();
  EXPECT_DOUBLE_EQ(p.values().a, 150);
  EXPECT_DOUBLE_EQ(p.values().b, 200);
  EXPECT_EQ(p.values().easeOutB, 4);

  KeyEditValues rotation{KeyKind::Rotation, 0, 3.14159265359 * 2.5, 0, 0, 0, 0, 0};
  KeyEditDialog r(prompt, rotation, ClipKind::Image, 30, 0, 100);
  EXPECT_EQ(r.label("valueA")->text(), QStringLiteral("Turns"));
  EXPECT_EQ(r.field("valueA")->text(), QStringLiteral("1"));
  r.field("valueB")->setText(QStringLiteral("180"));
  r.accept();
  EXPECT_NEAR(r.values().a, 3.14159265359 * 3, 1e-9);
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST(StartEndDialog, RefusesAStartOutsideTheMovie) {
  ScriptedPrompt prompt;
  StartEndDialog d(prompt, EdgeBehaviour::Stop, EdgeBehaviour::PingPong, 1, 26);
  d.show();
  EXPECT_EQ(d.afterChoice()->currentText(), QStringLiteral("Ping Pong"));
  d.startField()->setText(QStringLiteral("27"));
  d.accept();
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"The start frm must be between 1 and 26"});
  EXPECT_TRUE(d.isVisible());
}

}  // namespace
}  // namespace quenda
