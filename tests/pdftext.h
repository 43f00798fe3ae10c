#pragma once

// Reads a printed PDF back with poppler-utils' pdfinfo and pdftotext.

#include <algorithm>

#include <QByteArray>
#include <QDebug>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace pdftext {

// The tool's standard output, or nothing (with a warning) when it fails.
inline QByteArray runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) {
    qWarning() << program << arguments << "failed:" << process.readAllStandardError();
    return {};
  }
  return process.readAllStandardOutput();
}

// The PDF's page count, or -1.
inline int pageCount(const QString& pdf) {
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf})));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The size of the PDF's first page in points, or an empty size.
inline QSizeF pageSizePoints(const QString& pdf) {
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"), QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf})));
  return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// How far from the left edge of the first page its left-most word starts, in
// points, or -1.
inline double textLeftPoints(const QString& pdf) {
  const QString boxes = QString::fromUtf8(runTool(
      QStringLiteral("pdftotext"),
      {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
       QStringLiteral("-")}));
  double left = -1;
  for (const QRegularExpressionMatch& word : QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\"")).globalMatch(boxes))
    left = left < 0 ? word.captured(1).toDouble() : std::min(left, word.captured(1).toDouble());
  return left;
}

// The text of each page, as pdftotext lays it out.
inline QStringList pageTexts(const QString& pdf) {
  QStringList pages = QString::fromUtf8(runTool(QStringLiteral("pdftotext"),
                                                {QStringLiteral("-layout"), pdf, QStringLiteral("-")}))
                          .split(u'\f');
  pages.removeLast();  // pdftotext ends every page with a form feed
  return pages;
}

// The lines that hold text, trimmed.
inline QStringList nonEmptyLines(const QStringList& lines) {
  QStringList kept;
  for (const QString& line : lines) {
    if (!line.trimmed().isEmpty()) kept.append(line.trimmed());
  }
  return kept;
}

// The lines that hold text on each page.
inline QList<QStringList> pageLines(const QString& pdf) {
  QList<QStringList> lines;
  for (const QString& page : pageTexts(pdf)) lines.append(nonEmptyLines(page.split(u'\n')));
  return lines;
}

}  // namespace pdftext
