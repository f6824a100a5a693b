"""A small client of `tallow --language-server` for the protocol tests: it
starts the server (optionally through a wrapper such as wine), frames
messages, and reads replies with a time limit so that a hanging server fails
the test instead of blocking it."""
import json
import os
import queue
import subprocess
import threading


class ServerGone(Exception):
    pass


class Client:
    def __init__(self, command, timeout=20.0):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.timeout = timeout
        self.next_id = 1
        self.inbox = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.proc.stdout
        while True:
            length = None
            while True:
                line = out.readline()
                if not line:
                    self.inbox.put(None)
                    return
                line = line.rstrip(b"\r\n")
                if not line:
                    if length is not None:
                        break
                    continue
                name, _, value = line.partition(b":")
                if name.strip().lower() == b"content-length":
                    length = int(value.strip())
            body = out.read(length)
            if len(body) < length:
                self.inbox.put(None)
                return
            self.inbox.put(json.loads(body.decode("utf-8")))

    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode("utf-8")
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def receive(self):
        try:
            message = self.inbox.get(timeout=self.timeout)
        except queue.Empty:
            raise ServerGone("no reply within %.0f s" % self.timeout)
        if message is None:
            raise ServerGone("the server closed its output (status %s)" % self.proc.poll())
        return message

    def request(self, method, params=None):
        """Sends a request and returns its response; notifications that come
        first are kept in self.notes."""
        rid = self.next_id
        self.next_id += 1
        message = {"jsonrpc": "2.0", "id": rid, "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)
        return self.response_to(rid)

    def response_to(self, rid):
        while True:
            message = self.receive()
            if message.get("id") == rid and "method" not in message:
                return message
            self.notes.append(message)

    notes = []

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def diagnostics(self, uri):
        """The next diagnostics published for uri."""
        for i, note in enumerate(self.notes):
            if note.get("method") == "textDocument/publishDiagnostics" and note["params"]["uri"] == uri:
                del self.notes[i]
                return note["params"]
        while True:
            message = self.receive()
            if message.get("method") == "textDocument/publishDiagnostics" and message["params"]["uri"] == uri:
                return message["params"]
            self.notes.append(message)

    def close(self):
        try:
            self.proc.stdin.close()
        except OSError:
            pass
        try:
            return self.proc.wait(timeout=self.timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            raise ServerGone("the server did not end when its input closed")


def server_command(tallow, wrapper=None):
    command = [tallow, "--language-server"]
    if wrapper:
        command = wrapper.split() + command
    return command
