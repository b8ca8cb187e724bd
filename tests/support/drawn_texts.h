#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <QWidget>

namespace corvane::testing {

// Every text a widget and its visible children draw, whatever draws it (the pages' own painting, a
// button's style, a label): the widget is rendered onto a paint device whose engine keeps the texts
// and throws the rest away. Texts laid out on several lines arrive line by line.
class TextRecordingDevice final : public QPaintDevice {
 public:
  explicit TextRecordingDevice(QSize size) : size_(size) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  const QStringList& texts() const { return engine_.texts; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
        return size_.width();
      case PdmHeight:
        return size_.height();
      case PdmWidthMM:
        return size_.width() * 254 / 960;
      case PdmHeightMM:
        return size_.height() * 254 / 960;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 96;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
      case PdmDepth:
        return 32;
      case PdmNumColors:
        return 0x7fffffff;
    }
    return 0;
  }

 private:
  struct Engine final : QPaintEngine {
    Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    // Qt hands a line over in runs of one script (kanji, kana, Latin): a run that goes on where the
    // last one ended, on its baseline, belongs to the same text.
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
      const QPointF start = state->transform().map(at);
      if (!texts.isEmpty() && qAbs(start.y() - line_end.y()) < 0.5 && qAbs(start.x() - line_end.x()) < 0.5)
        texts.last() += item.text();
      else
        texts << item.text();
      line_end = state->transform().map(at + QPointF(item.width(), 0));
    }
    QPointF line_end;
    Type type() const override { return QPaintEngine::User; }
    QStringList texts;
  };
  QSize size_;
  mutable Engine engine_;
};

//! The texts `widget` and its visible children draw, line by line.
inline QStringList drawn_texts(QWidget& widget) {
  TextRecordingDevice device(widget.size());
  QPainter painter(&device);
  widget.render(&painter);
  painter.end();
  return device.texts();
}

//! What the visible widgets under `widget` hold as text besides what they draw: titles, placeholders,
//! combo box items, accessible names.
inline QStringList widget_texts(QWidget& widget) {
  QStringList out{widget.windowTitle(), widget.accessibleName()};
  for (QWidget* w : widget.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&widget)) continue;
    out << w->accessibleName();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) out << b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) out << l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) out << g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) out << e->placeholderText();
    if (auto* c = qobject_cast<QComboBox*>(w)) {
      out << c->placeholderText();
      for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    }
  }
  return out;
}

//! True for a character only Japanese writing uses here: kana, CJK ideographs and punctuation, and the
//! full-width forms.
inline bool japanese_character(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

//! The texts of `texts` that hold a Japanese character.
inline QStringList japanese_texts(const QStringList& texts) {
  QStringList out;
  for (const QString& t : texts)
    for (QChar c : t)
      if (japanese_character(c)) {
        out << t;
        break;
      }
  return out;
}

}  // namespace corvane::testing
