#include "ResultsXml.h"

#include "support/TestFiles.h"
#include "support/Utf8.h"

namespace {

// The value of attribute csName in the start tag csTag, or empty.
std::string Attribute(const std::string& csTag, const std::string& csName)
{
    const std::string csKey = " " + csName + "=\"";
    const size_t at = csTag.find(csKey);
    if (at == std::string::npos) {
        return std::string();
    }
    const size_t from = at + csKey.size();
    return csTag.substr(from, csTag.find('"', from) - from);
}

// A skip's message as GoogleTest writes it into the XML: "file:line",
// a newline, the reason; escaped.
std::string Reason(const std::string& csMessage)
{
    const std::string csNewline = "&#x0A;";
    const size_t at = csMessage.find(csNewline);
    std::string csText =
        at == std::string::npos ? csMessage : csMessage.substr(at + csNewline.size());
    for (const auto& [csEscaped, csPlain] : {std::pair<std::string, std::string>{"&quot;", "\""},
                                             {"&apos;", "'"},
                                             {"&lt;", "<"},
                                             {"&gt;", ">"},
                                             {csNewline, " "},
                                             {"&amp;", "&"}}) {
        for (size_t found; (found = csText.find(csEscaped)) != std::string::npos;) {
            csText.replace(found, csEscaped.size(), csPlain);
        }
    }
    return csText;
}

}  // namespace

void CResultsXml::Add(const std::wstring& csName, const std::wstring& csXml, DWORD dwExitCode)
{
    const std::string xml = testfiles::ReadBytes(csXml);
    const size_t open = xml.find("<testsuites");
    const size_t body = open == std::string::npos ? open : xml.find('>', open);
    const size_t close = xml.rfind("</testsuites>");
    int nFailedHere = 0;
    if (body != std::string::npos && close != std::string::npos && body < close) {
        const std::string csSuites = xml.substr(body + 1, close - body - 1);
        m_csSuites += csSuites;
        for (size_t at = csSuites.find("<testcase "); at != std::string::npos;
             at = csSuites.find("<testcase ", at + 1)) {
            const std::string csTag = csSuites.substr(at, csSuites.find('>', at) - at);
            const bool bSelfClosed = !csTag.empty() && csTag.back() == '/';
            const size_t end = bSelfClosed ? at : csSuites.find("</testcase>", at);
            const std::string csInner = bSelfClosed ? "" : csSuites.substr(at, end - at);
            if (csInner.find("<failure") != std::string::npos) {
                ++nFailedHere;
            } else if (Attribute(csTag, "result") == "skipped") {
                ++m_nSkipped;
                const size_t message = csInner.find("<skipped message=\"");
                const std::string csWhy =
                    message == std::string::npos
                        ? ""
                        : Reason(Attribute(csInner.substr(message), "message"));
                m_skips.push_back(Attribute(csTag, "classname") + "." + Attribute(csTag, "name") +
                                  ": " + csWhy);
            } else {
                ++m_nPassed;
            }
        }
    }
    if (dwExitCode != 0 && nFailedHere == 0) {
        // Nothing in its XML says why: the binary itself failed.
        ++nFailedHere;
        m_csSuites += "<testsuite name=\"" + Utf8(csName) +
                      "\" tests=\"1\" failures=\"1\"><testcase name=\"run\" classname=\"" +
                      Utf8(csName) + "\"><failure message=\"ended with exit code " +
                      std::to_string(dwExitCode) + "\"/></testcase></testsuite>\n";
    }
    m_nFailed += nFailedHere;
}

bool CResultsXml::Write(const std::wstring& csPath) const
{
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"" +
                            std::to_string(m_nPassed + m_nFailed + m_nSkipped) + "\" failures=\"" +
                            std::to_string(m_nFailed) + "\" skipped=\"" +
                            std::to_string(m_nSkipped) + "\" name=\"UnzipLauncher\">" + m_csSuites +
                            "</testsuites>\n";
    testfiles::WriteBytes(csPath, xml);
    return testfiles::ReadBytes(csPath) == xml;
}
