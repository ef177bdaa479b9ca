#include "dialogs/helptext.h"

namespace {

const char Overview[] = R"(
<p>Lexitangle is a word game for up to ten players: find as many words as you can by joining
neighbouring letter tiles across, up, down or diagonally, using no tile twice in one word, before
the round's time runs out.</p>
)";

const char Connecting[] = R"(
<p><b>Playing alone.</b> Started without anything on its command line, Lexitangle runs a solo
game on your own computer: it hosts a table for you and seats you as "You". Choose
<b>File, Start Game</b>, pick the board size, the shortest word allowed, the time per round and
the score to play to, and press Start. A solo game needs no internet connection.</p>
<p><b>Playing with others.</b> Tables for several players are started from the Lexitangle
Lobby: choose <b>Play with Others</b> in the window that opens with a solo game, or start
"Lexitangle Lobby" from your desktop's menu. Enter your name there, then:</p>
<ul>
<li><b>Host a Table</b> starts the game as the host and shows the addresses others can use, with
<b>Copy Invite Link</b> to send one (a link looks like lexitangle://192.168.1.20);</li>
<li>a table on your own network appears under <b>Tables on this network</b>: double-click it to
join;</li>
<li>for any other table, paste its invite link or type its address under <b>Join by address</b>.</li>
</ul>
<p>The host's computer must accept incoming connections on <b>TCP port 7772</b>; open that port in
its firewall. For players from the internet, check <b>Let players from the internet in</b> before
hosting: the lobby then asks your router to forward the port (or forward it by hand). Joining
players only connect out.</p>
<p>The host is usually the first player in the list. The host's copy of the game runs the table,
so when the host leaves, the game ends for everybody.</p>
)";

const char GamePlay[] = R"(
<p>The player who hosts the table starts a game. Every round, all players get the same board at
the same time and a countdown. Build words from chains of touching tiles (at most 12 tiles) and
send them to the host, which checks each word against its English word list. When the time is
up the scores and every word found are shown, and after a short pause the next round begins with
a new board. The first player to end a round alone at the top with at least the agreed score
wins the game.</p>
<p><b>Entering a word.</b> There are three ways:</p>
<ul>
<li><b>Dragging:</b> press the mouse button on the first letter, move across the others and let
go; the word is sent when you let go.</li>
<li><b>Clicking:</b> with <b>Options, Click Letters</b> checked, click the letters one by one,
then send the word.</li>
<li><b>Typing:</b> type the word's letters; the game finds a chain of tiles that spells it.</li>
</ul>
<p>While typing is on during your round:</p>
<ul>
<li><b>1</b> clears the word,</li>
<li><b>0</b> (or <b>Ctrl+R</b>) turns the board a quarter turn,</li>
<li><b>Backspace</b> takes back the last letter,</li>
<li><b>Enter</b> sends the word,</li>
<li><b>Tab</b> switches typing on and off, so you can type in the chat between words.</li>
</ul>
<p><b>F6</b> takes you to the chat line at any time, in a round too (typing goes off there):
<b>Enter</b> sends your line and <b>Tab</b> switches typing back on.</p>
<p><b>Without a mouse.</b> <b>Alt</b> opens the menus. In the game start dialog <b>Tab</b> reaches
the board size and the shortest word, the <b>arrow keys</b> choose and <b>Enter</b> starts.
<b>Escape</b> closes the other windows, and <b>Ctrl+W</b> the round review too.</p>
<p><b>Options, Disable Typing</b> switches keyboard entry off altogether.</p>
<p>A <b>right click</b> on the board or the <b>Send</b> button sends the word; <b>Clear</b>
empties it and <b>Rotate</b> turns the board.</p>
<p><b>With a screen reader.</b> The board is a table: each tile is read with its letter, its
row and column as the board is turned, and its place in the word you are building. At any time
<b>Ctrl+B</b> reads the board row by row and <b>Ctrl+W</b> reads the letters of your word. The
game says what you would otherwise read on screen: the verdict on every word with its reason,
the start of a round, "10 seconds left", your score and place at the end of a round, the winner,
and the other players' chat lines (<b>Options, Speak Chat</b> turns those off).</p>
<p>A score to play to of <b>0</b> plays a single round: whoever leads after it wins, unless the
top score is shared. The host can check <b>Automatically Start Next Game</b>; a new game with the
same settings then starts one minute after a winner is declared.</p>
)";

const char Scoring[] = R"(
<p>A word scores by its number of letters:</p>
<table border="1" cellpadding="3" cellspacing="0">
<tr><th>Letters</th><td>4</td><td>5</td><td>6</td><td>7</td><td>8</td><td>9</td><td>10</td>
<td>11</td><td>12</td></tr>
<tr><th>Points</th><td>1</td><td>2</td><td>3</td><td>4</td><td>5</td><td>6</td><td>7</td>
<td>11</td><td>12</td></tr>
</table>
<p>The first player in a round to find a word gets <b>1 bonus point</b> for it. A word that
somebody else found first still scores its points, only without the bonus. A word shorter than
four letters (allowed when the shortest word is set to 3) scores nothing.</p>
<p>Your words panel shows each word you send in a colour:</p>
<ul>
<li><b>yellow:</b> accepted, and you were the first to find it,</li>
<li><b>white:</b> accepted, but someone else found it first,</li>
<li><b>orange:</b> too short for this game,</li>
<li><b>maroon:</b> you already found it this round,</li>
<li><b>black:</b> not a valid word.</li>
</ul>
<p>With <b>Options, High Contrast</b> checked, the panel is dark, every line is easy to read,
and each line starts with a mark, so the colour is not needed to tell them apart:</p>
<ul>
<li><b>*</b> accepted, and you were the first to find it,</li>
<li><b>+</b> accepted, but someone else found it first,</li>
<li><b>&lt;</b> too short for this game,</li>
<li><b>=</b> you already found it this round,</li>
<li><b>x</b> not a valid word.</li>
</ul>
<p>High Contrast also shows every chat line, whatever colour its writer chose, dark enough to
read on the chat's light ground.</p>
)";

const char Documentation[] = R"(
<p><b>Version history</b> (newest first)</p>
<p><b>1.0.6</b></p>
<ul>
<li>Runs on Linux; installs with a desktop entry and icon.</li>
<li>The tally is saved after every finished game, and the settings and tally files are
written safely: a crash or a full disk never leaves a half-written file.</li>
<li>Alternative tile pictures from the Lexitangletiles folder, chosen in the Tiles menu.</li>
<li>A player with a different version is told so on joining a table.</li>
</ul>
<p>Files the game keeps beside the program: <tt>orvolobby.ini</tt> (settings, shared with the
lobby) and <tt>Lexitangletally.tld</tt> (your tally).</p>
)";

const char License[] = R"(
<p><b>Lexitangle</b><br>Copyright (c) The Lexitangle developers</p>
<p>Permission is hereby granted, free of charge, to any person obtaining a copy of this software
and associated documentation files (the "Software"), to deal in the Software without
restriction, including without limitation the rights to use, copy, modify, merge, publish,
distribute, sublicense, and/or sell copies of the Software, and to permit persons to whom the
Software is furnished to do so, subject to the following conditions:</p>
<p>The above copyright notice and this permission notice shall be included in all copies or
substantial portions of the Software.</p>
<p>THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING
BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND
NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM,
DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.</p>
<p>The English word list is made from SCOWL (Spell Checker Oriented Word Lists), Copyright
2000-2011 by Kevin Atkinson and others, used under its own permissive terms; see
COPYRIGHT-SCOWL in the program's word list folder (assets/words).</p>
)";

} // namespace

QString HelpText::page(int number)
{
    static const char *const pages[PageCount] = {Overview, Connecting, GamePlay,
                                                 Scoring, Documentation, License};
    if (number < 1 || number > PageCount)
        return {};
    return QString::fromUtf8(pages[number - 1]).trimmed();
}
