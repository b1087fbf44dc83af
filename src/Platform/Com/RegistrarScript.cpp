#include "Platform/Com/RegistrarScript.h"

#include <cwctype>

namespace Platform {

namespace {

constexpr int kMaxDepth = 32;

struct Token {
    enum class Kind { End, Open, Close, Equals, Word, Quoted, Bad } kind = Kind::End;
    std::wstring text;
};

bool SameWord(const Token& token, std::wstring_view word)
{
    if (token.kind != Token::Kind::Word || token.text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::towlower(token.text[i]) != std::towlower(word[i]))
            return false;
    }
    return true;
}

class Parser {
public:
    Parser(std::wstring_view script, const std::map<std::wstring, std::wstring>& replacements)
        : script(script), replacements(replacements)
    {
        Advance();
    }

    std::optional<std::vector<ScriptKey>> Read()
    {
        std::vector<ScriptKey> keys;
        while (current.kind != Token::Kind::End) {
            if (!SameWord(current, L"HKCR") && !SameWord(current, L"HKEY_CLASSES_ROOT"))
                return std::nullopt;
            Advance();
            if (!Expect(Token::Kind::Open) || !ReadBody(keys, nullptr, 1) || !Expect(Token::Kind::Close))
                return std::nullopt;
        }
        return keys;
    }

private:
    // Reads keys (and, inside a key, its named values) up to the closing brace.
    bool ReadBody(std::vector<ScriptKey>& keys, ScriptKey* owner, int depth)
    {
        if (depth > kMaxDepth)
            return false;
        while (current.kind != Token::Kind::Close) {
            if (SameWord(current, L"val")) {
                Advance();
                std::wstring name;
                RegistryKey::Value value;
                if (!owner || !ReadName(name) || !Expect(Token::Kind::Equals) || !ReadValue(value))
                    return false;
                owner->values.emplace_back(std::move(name), std::move(value));
                continue;
            }
            ScriptKey key;
            if (!ReadKey(key, depth))
                return false;
            keys.push_back(std::move(key));
        }
        return true;
    }

    bool ReadKey(ScriptKey& key, int depth)
    {
        if (SameWord(current, L"NoRemove")) {
            key.removal = ScriptKey::Removal::NoRemove;
            Advance();
        } else if (SameWord(current, L"ForceRemove")) {
            key.removal = ScriptKey::Removal::ForceRemove;
            Advance();
        }
        if (!ReadName(key.name) || !RegistryKey::ValidName(key.name))
            return false;
        if (current.kind == Token::Kind::Equals) {
            Advance();
            if (!ReadValue(key.defaultValue.emplace()))
                return false;
        }
        if (current.kind == Token::Kind::Open) {
            Advance();
            if (!ReadBody(key.subkeys, &key, depth + 1) || !Expect(Token::Kind::Close))
                return false;
        }
        return true;
    }

    bool ReadName(std::wstring& name)
    {
        if (current.kind != Token::Kind::Word && current.kind != Token::Kind::Quoted)
            return false;
        const bool replaced = Replace(current.text, name);
        Advance();
        return replaced;
    }

    bool ReadValue(RegistryKey::Value& value)
    {
        const bool number = SameWord(current, L"d");
        if (!number && !SameWord(current, L"s"))
            return false;
        Advance();
        std::wstring text;
        if (!ReadName(text))
            return false;
        if (!number) {
            value = std::move(text);
            return true;
        }
        DWORD parsed = 0;
        if (!ParseNumber(text, parsed))
            return false;
        value = parsed;
        return true;
    }

    static bool ParseNumber(std::wstring_view text, DWORD& number)
    {
        const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
        const unsigned base = hex ? 16 : 10;
        if (hex)
            text.remove_prefix(2);
        if (text.empty())
            return false;
        std::uint64_t value = 0;
        for (wchar_t c : text) {
            const int digit = std::iswdigit(c)           ? c - L'0'
                              : hex && std::iswxdigit(c) ? (std::towlower(c) - L'a' + 10)
                                                         : -1;
            if (digit < 0)
                return false;
            value = value * base + unsigned(digit);
            if (value > 0xFFFFFFFFu)
                return false;
        }
        number = DWORD(value);
        return true;
    }

    // Makes the %NAME% replacements in text; false for an unknown or unclosed one.
    bool Replace(std::wstring_view text, std::wstring& result) const
    {
        result.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != L'%') {
                result += text[i];
                continue;
            }
            const std::size_t close = text.find(L'%', i + 1);
            if (close == std::wstring_view::npos)
                return false;
            if (close == i + 1) {
                result += L'%';
            } else {
                auto found = replacements.find(std::wstring(text.substr(i + 1, close - i - 1)));
                if (found == replacements.end())
                    return false;
                result += found->second;
            }
            i = close;
        }
        return true;
    }

    bool Expect(Token::Kind kind)
    {
        if (current.kind != kind)
            return false;
        Advance();
        return true;
    }

    void Advance()
    {
        while (position < script.size() && std::iswspace(script[position]))
            ++position;
        current = Token();
        if (position == script.size())
            return;
        const wchar_t c = script[position];
        if (c == L'{' || c == L'}' || c == L'=') {
            current.kind = c == L'{' ? Token::Kind::Open : c == L'}' ? Token::Kind::Close : Token::Kind::Equals;
            ++position;
            return;
        }
        if (c == L'\'') {
            ReadQuoted();
            return;
        }
        current.kind = Token::Kind::Word;
        while (position < script.size() && !std::iswspace(script[position]) && script[position] != L'{' &&
               script[position] != L'}' && script[position] != L'=' && script[position] != L'\'')
            current.text += script[position++];
    }

    void ReadQuoted()
    {
        current.kind = Token::Kind::Bad;
        for (++position; position < script.size(); ++position) {
            if (script[position] != L'\'') {
                current.text += script[position];
                continue;
            }
            if (position + 1 < script.size() && script[position + 1] == L'\'') {
                current.text += L'\'';
                ++position;
                continue;
            }
            ++position;
            current.kind = Token::Kind::Quoted;
            return;
        }
    }

    std::wstring_view script;
    const std::map<std::wstring, std::wstring>& replacements;
    std::size_t position = 0;
    Token current;
};

} // namespace

std::optional<std::vector<ScriptKey>> ReadRegistrarScript(std::wstring_view script,
                                                          const std::map<std::wstring, std::wstring>& replacements)
{
    return Parser(script, replacements).Read();
}

} // namespace Platform
