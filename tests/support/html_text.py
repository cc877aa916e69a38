# The text of an HTML reference list as Python's html.parser reads it, and what
# it found wrong: tags other than the scripts' own, end tags that close the
# wrong element, raw "<", ">" or "&" in text, unknown entities. Reads the list's
# bytes from standard input in the charset it declares; writes JSON.
import html, html.parser, json, re, sys
data = sys.stdin.buffer.read()
m = re.search(rb'charset="?([A-Za-z0-9_-]+)', data)
src = data.decode({'shift_jis': 'cp932'}.get(m.group(1).decode().lower(), m.group(1).decode()) if m else 'utf-8')
TAGS, VOID = {'html', 'head', 'meta', 'title', 'body', 'p', 'u', 'i', 'b', 'sup', 'sub', 'br'}, {'meta', 'br'}
class Reader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.open, self.faults, self.text = [], [], []
    def handle_starttag(self, tag, attrs):
        if tag not in TAGS: self.faults.append('tag <%s>' % tag)
        if tag == 'br': self.text.append('\n')
        elif tag not in VOID: self.open.append(tag)
    def handle_endtag(self, tag):
        if self.open[-1:] != [tag]: self.faults.append('</%s> closes %s' % (tag, self.open[-1:]))
        else: self.open.pop()
    def handle_data(self, d):
        if any(c in d for c in '<>&'): self.faults.append('raw markup character in %r' % d)
        if 'head' not in self.open: self.text.append(d)
    def handle_entityref(self, name):
        if name not in ('amp', 'lt', 'gt', 'quot'): self.faults.append('&%s;' % name)
        self.text.append(html.unescape('&%s;' % name))
    def handle_charref(self, name): self.text.append(html.unescape('&#%s;' % name))
    def unknown_decl(self, d): self.faults.append('declaration ' + d)
r = Reader(); r.feed(src); r.close()
if r.open: r.faults.append('unclosed ' + ' '.join(r.open))
json.dump({'faults': r.faults, 'text': ''.join(r.text)}, sys.stdout)
