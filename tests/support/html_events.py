"""Prints what a real HTML parser makes of a file, as JSON: a list of events
["start", tag, [[name, value], ...]], ["end", tag] and ["data", text], with character
references already turned into the characters they stand for."""

import json
import sys
from html.parser import HTMLParser


class Recorder(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.events = []

    def handle_starttag(self, tag, attrs):
        self.events.append(["start", tag, [[name, value] for name, value in attrs]])

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        self.events.append(["end", tag])

    def handle_data(self, data):
        self.events.append(["data", data])


with open(sys.argv[1], encoding="utf-8", newline="") as page:
    recorder = Recorder()
    recorder.feed(page.read())
    recorder.close()
json.dump(recorder.events, sys.stdout)
